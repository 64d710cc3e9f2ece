#include "app/backup_command.h"
#include "app/command_line.h"
#include "app/export_command.h"
#include "app/form1.h"
#include "app/import_command.h"
#include "app/plan_command.h"
#include "base/failure.h"
#include "store/backups.h"
#include "store/database_location.h"
#include "widgets/qt_prompts.h"
#include "widgets/window_place.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// An export speaks only through its one line: Qt's own notes stay quiet.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// What a command without a window prints, and its exit status.
int finish(const quorvane::CommandOutcome& outcome)
{
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    if (!outcome.message.isEmpty())
        std::fprintf(stderr, "%s\n", outcome.message.toLocal8Bit().constData());
    return outcome.status;
}

// A command without a window and without a display, whatever the session
// has; Qt sees none of the arguments: they are all the command's.
// `Application` is QGuiApplication where pictures are drawn (for their
// fonts), else QCoreApplication.
template <class Application, class Command>
int runWithoutWindow(char* program, Command command)
{
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    Application app(qtArgc, qtArgv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    return finish(command(QCoreApplication::applicationDirPath()));
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quorvane;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Answered without a display and without the database.
    const CommandLine line = parseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::BadArguments:
        std::fprintf(stderr, "quorvane: %s\n%s", line.error.toLocal8Bit().constData(),
                     usageText().toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Export:
        // An export speaks only through its one line; it draws offscreen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(keepQuiet);
        return runWithoutWindow<QGuiApplication>(argv[0],
                                                 [&](const QString& folder) { return runExport(line, folder); });
    case CommandLine::Action::ListBackups:
    case CommandLine::Action::Restore:
        return runWithoutWindow<QCoreApplication>(
            argv[0], [&](const QString& folder) { return runBackupCommand(line, folder); });
    case CommandLine::Action::Import:
        return runWithoutWindow<QCoreApplication>(argv[0],
                                                  [&](const QString& folder) { return runImport(line, folder); });
    case CommandLine::Action::Plan:
        return runWithoutWindow<QCoreApplication>(argv[0],
                                                  [&](const QString& folder) { return runPlan(line, folder); });
    case CommandLine::Action::Window:
        break;
    }
    if (const QString why = windowUnavailable(arguments); !why.isEmpty()) {
        std::fprintf(stderr, "quorvane: %s\n", why.toLocal8Bit().constData());
        return 1;
    }

    QApplication app(argc, argv);
    // The window class "Quorvane" and the desktop entry, as installed.
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Quorvane"));
    QtPrompts prompts;
    const QString programFolder = QCoreApplication::applicationDirPath();
    const DatabaseLocation database = locateDatabase(programFolder);
    if (!database.failure.isEmpty()) {
        showMessage(prompts, nullptr, database.failure);
        return 1;
    }
    const QString databasePath = database.file();
    // Held while the window runs: a restore waits for it to close, and the
    // window does not open a file a restore is replacing.
    std::unique_ptr<DatabaseLock> lock;
    try {
        lock = DatabaseLock::forWindow(databasePath);
    } catch (const Failure& failure) {
        showMessage(prompts, nullptr, failure.description());
        return 1;
    }
    Form1 window({programFolder, database.folder}, prompts);
    if (!window.Form_Load())
        return 0;
    QObject::connect(&window, &Form1::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.rememberPlace(WindowPlace::userSettingsFile());
    window.show();
    // A calendar named on the command line ("Open with Quorvane").
    if (!line.importFile.isEmpty())
        window.ImportCalendar(QFileInfo(line.importFile).absoluteFilePath());
    // The day's backup, on a connection and a thread of its own, once the
    // window is up, at the lowest priority: it never holds the window back.
    std::unique_ptr<QThread> backup(QThread::create([databasePath] { backUpQuietly(databasePath); }));
    QTimer::singleShot(0, backup.get(), [&backup] { backup->start(QThread::IdlePriority); });
    const int status = app.exec();
    backup->wait();
    return status;
}

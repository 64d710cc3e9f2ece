#include "app/command_line.h"
#include "app/form1.h"
#include "app/qt_prompts.h"
#include "store/database_location.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace quorvane;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Answered without a display and without the database.
    switch (parseCommandLine(arguments).action) {
    case CommandLine::Action::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Window:
        break;
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
    Form1 window({programFolder, database.folder}, prompts);
    if (!window.Form_Load())
        return 0;
    QObject::connect(&window, &Form1::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}

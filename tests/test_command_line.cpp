// The program's arguments, and `quorvane --export` in this process and as the
// real program without a display.
#include "app/command_line.h"
#include "app/export_command.h"
#include "app/form1.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QProcess>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

using Action = CommandLine::Action;

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void argumentsAreParsed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("found"); // the file, schedule and weeks, or the error
        const auto row = [](const char* name, const QStringList& arguments, const QString& found) {
            QTest::newRow(name) << arguments << found;
        };
        row("export", {"--schedule", "A, B", "--export", "W.ICS", "--weeks", "3"}, "W.ICS, A, B, 3");
        row("by default", {"--export", "w.pdf"}, "w.pdf, none, 16");
        row("no file", {"--export"}, "--export needs a value");
        row("unknown extension", {"--export", "w.txt"},
            "cannot tell the format of \"w.txt\" from its extension: use .bmp, .png, .pdf, .xls, .xlsx, .csv or .ics");
        row("no export", {"--weeks", "2"}, "--schedule and --weeks go with --export FILE");
        row("twice", {"--export", "a.pdf", "--export", "b.pdf"}, "--export is given twice");
        row("no weeks", {"--export", "a.ics", "--weeks", "0"}, "--weeks takes a whole number from 1 to 520, not \"0\"");
        row("Qt's own", {"--export", "a.pdf", "-platform", "xcb"}, "unknown argument \"-platform\"");
        row("with equals signs", {"--export=w.csv", "--schedule=a=b", "--weeks=2"}, "w.csv, a=b, 2");
        row("window with Qt's own", {"-style", "fusion", "--reverse", "plain"}, "window");
        row("unknown option", {"-reverse", "--foo"}, "unknown option \"--foo\"");
        row("help wins", {"--foo", "--export", "x", "-h"}, "help");
        row("version", {"--weeks", "--version"}, "version");
    }
    void argumentsAreParsed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, found);
        const CommandLine line = parseCommandLine(arguments);
        const QMap<Action, QString> answers{
            {Action::Window, "window"}, {Action::Help, "help"}, {Action::Version, "version"}};
        if (answers.contains(line.action))
            QCOMPARE(answers[line.action], found);
        else if (line.action == Action::Export)
            QCOMPARE(QStringLiteral("%1, %2, %3").arg(line.exportFile, line.schedule.value_or("none")).arg(line.weeks),
                     found);
        else
            QCOMPARE(line.error, found);
    }

    // Nothing is written, and the one line says why.
    void exportFailsWithOneLine_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // FOLDER stands for the program's folder
        const auto row = [](const char* name, const QString& setUp, const QString& file, const QString& message) {
            QTest::newRow(name) << setUp << file << message;
        };
        row("no database", "none", "w.png", "FOLDER/dbSchedules.mdb not found");
        row("no database inside", "garbage", "w.png", "file is not a database");
        row("no such folder", "", "missing/w.ics", "cannot write FOLDER/missing/w.ics: No such file or directory");
    }
    void exportFailsWithOneLine()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, file);
        QFETCH(QString, message);
        ProgramFolder folder(setUp != "none");
        QFile database(folder.databasePath());
        if (setUp == "garbage")
            QVERIFY(database.open(QIODevice::WriteOnly) && database.write(QByteArray(4096, 'x')) && database.flush());
        else if (setUp.isEmpty())
            execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week 1'), ('Week 2')");
        CommandLine line = parseCommandLine({"--export", folder.file(file)});
        line.schedule = "Week 2";
        const ExportOutcome outcome = runExport(line, folder.path());
        QCOMPARE(outcome.message, "quorvane: " + message.replace("FOLDER", folder.path()));
        QCOMPARE(outcome.status, 1);
        QVERIFY(!QFileInfo::exists(folder.file(file)));
    }

    // The same schedule from the command and from the window: the same file.
    void exportWritesWhatTheWindowWrites()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week 1'), ('Week 2')");
        execSql(folder.databasePath(),
                "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                "(2,'Late','','6,2','21:00','2021-08-31 23:00'), (2,'=1','','0','8:30','10:00')");
        const CommandLine line = parseCommandLine({"--export", folder.file("command.csv"), "--schedule", "Week 2"});
        QCOMPARE(runExport(line, folder.path()).status, 0);
        ScriptedPrompts prompts;
        Form1 form(folder.path(), prompts);
        QVERIFY(form.Form_Load());
        form.selectSchedule(2);
        prompts.chooseFile(folder.file("window.csv"));
        form.PushButton8_Click();
        QCOMPARE(prompts.messageTexts(), QStringList{"Done."});
        QCOMPARE(fileBytes(folder.file("command.csv")), fileBytes(folder.file("window.csv")));
    }

    // The real program, without a display: its file, its status, its one line.
    void exportRunsWithoutADisplay()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week')");
        const QString program = folder.file("quorvane");
        QVERIFY(QFile::copy(qEnvironmentVariable("QUORVANE_BUILD_DIR") + "/quorvane", program));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const auto run = [&](const QStringList& arguments) {
            QProcess quorvane;
            quorvane.setProcessEnvironment(environment);
            quorvane.start(program, arguments);
            quorvane.waitForFinished(120000);
            return QStringList{QString::number(quorvane.exitCode()), quorvane.readAllStandardOutput(),
                               QString(quorvane.readAllStandardError()).section('\n', 0, 1)};
        };
        QCOMPARE(run({"--export", folder.file("week.pdf")}), QStringList({"0", "", ""}));
        QVERIFY(fileBytes(folder.file("week.pdf")).startsWith("%PDF-"));
        QCOMPARE(run({"--schedule", "Nope", "--export", folder.file("nope.png")}),
                 QStringList({"1", "", "quorvane: no schedule is named \"Nope\"\n"}));
        QCOMPARE(run({"--weeks", "3"}), QStringList({"2", "",
                                                     "quorvane: --schedule and --weeks go with --export FILE\n"
                                                     "Usage: quorvane [-h | --help | --version]"}));
        QCOMPARE(run({}), QStringList({"1", "",
                                       "quorvane: cannot open a window: no display; use --export to write a file "
                                       "without one\n"}));
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"

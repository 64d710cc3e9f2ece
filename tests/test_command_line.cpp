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

namespace {

// The program run without a display: its exit status, its standard output
// and the lines of its standard error up to line lastErrorLine (from 0).
QStringList runWithoutDisplay(const QString& program, const QStringList& arguments, int lastErrorLine)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess quorvane;
    quorvane.setProcessEnvironment(environment);
    quorvane.start(program, arguments);
    quorvane.waitForFinished(120000);
    return QStringList{QString::number(quorvane.exitCode()), quorvane.readAllStandardOutput(),
                       QString(quorvane.readAllStandardError()).section('\n', 0, lastErrorLine)};
}

} // namespace

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
        row("no export", {"--weeks", "2"}, "--weeks goes with --export FILE");
        row("schedule alone", {"--schedule", "Fall"}, "--schedule goes with --export FILE or --import FILE");
        row("bad day", {"--export", "t.ics", "--from", "2026-13-01"},
            "--from takes a day as YYYY-MM-DD, not \"2026-13-01\"");
        row("bad range", {"--export", "t.ics", "--skip", "2026-10-30..2026-10-26"},
            "--skip takes a day as YYYY-MM-DD, not \"2026-10-30..2026-10-26\"");
        row("until before from", {"--export", "t.ics", "--from", "2026-09-14", "--until", "2026-09-13"},
            "--until is before --from");
        row("ten years", {"--export", "t.ics", "--from", "2026-09-14", "--until", "2036-09-14"},
            "a calendar covers at most 520 weeks");
        row("past 9999", {"--export", "t.ics", "--from", "9999-12-20", "--weeks", "2"},
            "a calendar ends on 9999-12-31 at the latest");
        row("until and weeks", {"--export", "t.ics", "--until", "2026-09-13", "--weeks", "2"},
            "--until and --weeks do not go together");
        row("import", {"--import", "t.ics", "--schedule", "Fall"}, "import t.ics, Fall");
        row("import with weeks", {"--import", "t.ics", "--weeks", "2"}, "--weeks does not go with --import");
        row("import without a name", {"--import", "t.ics", "--schedule", " "},
            "--schedule takes a name that is not blank");
        row("import and export", {"--import", "t.ics", "--export", "t.pdf"}, "--export does not go with --import");
        row("window with a calendar", {"-platform", "offscreen", "term.ics"}, "window term.ics");
        row("two calendars", {"a.ics", "b.ics"}, "one calendar at a time: \"a.ics\" and \"b.ics\"");
        row("twice", {"--export", "a.pdf", "--export", "b.pdf"}, "--export is given twice");
        row("no weeks", {"--export", "a.ics", "--weeks", "0"}, "--weeks takes a whole number from 1 to 520, not \"0\"");
        row("Qt's own", {"--export", "a.pdf", "-platform", "xcb"}, "unknown argument \"-platform\"");
        row("with equals signs", {"--export=w.csv", "--schedule=a=b", "--weeks=2"}, "w.csv, a=b, 2");
        row("window with Qt's own", {"-style", "fusion", "--reverse"}, "window");
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
        if (line.action == Action::Window && !line.importFile.isEmpty())
            QCOMPARE("window " + line.importFile, found);
        else if (answers.contains(line.action))
            QCOMPARE(answers[line.action], found);
        else if (line.action == Action::Import)
            QCOMPARE(QStringLiteral("import %1, %2").arg(line.importFile, line.schedule.value_or("none")), found);
        else if (line.action == Action::Export)
            QCOMPARE(QStringLiteral("%1, %2, %3").arg(line.exportFile, line.schedule.value_or("none")).arg(line.weeks),
                     found);
        else
            QCOMPARE(line.error, found);
    }

    // The term of a calendar: from --from or this week's Monday, to --until
    // or the end of --weeks, without the --skip days.
    void termIsParsed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("term");
        QTest::newRow("by default") << QStringList{"--export", "t.ics"} << "2026-12-07 2027-03-28 ";
        QTest::newRow("weeks from a day")
            << QStringList{"--export", "t.ics", "--from", "2026-09-16", "--weeks", "2"} << "2026-09-16 2026-09-29 ";
        QTest::newRow("days") << QStringList{"--export=t.ics",   "--from=2026-09-14",
                                             "--until",          "2026-12-18",
                                             "--skip",           "2026-10-26..2026-10-30",
                                             "--skip=2026-11-19"}
                              << "2026-09-14 2026-12-18 2026-10-26..2026-10-30, 2026-11-19";
    }
    void termIsParsed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, term);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(line.action, Action::Export);
        const CalendarTerm read = exportTerm(line, QDate(2026, 12, 9));
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(read.first.toString(Qt::ISODate), read.last.toString(Qt::ISODate), dayRangesText(read.free)),
                 term);
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
        const CommandOutcome outcome = runExport(line, folder.path());
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
        const auto run = [&](const QStringList& arguments) { return runWithoutDisplay(program, arguments, 1); };
        QCOMPARE(run({"--export", folder.file("week.pdf")}), QStringList({"0", "", ""}));
        QVERIFY(fileBytes(folder.file("week.pdf")).startsWith("%PDF-"));
        QCOMPARE(run({"--schedule", "Nope", "--export", folder.file("nope.png")}),
                 QStringList({"1", "", "quorvane: no schedule is named \"Nope\"\n"}));
        QCOMPARE(run({"--weeks", "3"}), QStringList({"2", "",
                                                     "quorvane: --weeks goes with --export FILE\n"
                                                     "Usage: quorvane [-h | --help | --version] [FILE.ics]"}));
        QCOMPARE(run({}), QStringList({"1", "",
                                       "quorvane: cannot open a window: no display; use --export to write a file "
                                       "without one\n"}));
    }

    // The real program imports without a display: the report on standard
    // output; a file it cannot import leaves the database as it was.
    void importRunsWithoutADisplay()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Fall')");
        const QString program = folder.file("quorvane");
        QVERIFY(QFile::copy(qEnvironmentVariable("QUORVANE_BUILD_DIR") + "/quorvane", program));
        QFile calendar(folder.file("fall.ics"));
        QVERIFY(calendar.open(QIODevice::WriteOnly));
        calendar.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:Fall\r\n"
                       "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Chemistry\r\nDTSTART:20260914T100000\r\n"
                       "DTEND:20260914T113000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\nEND:VEVENT\r\n"
                       "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Holiday\r\nDTSTART;VALUE=DATE:20261012\r\nEND:VEVENT\r\n"
                       "END:VCALENDAR\r\n");
        calendar.close();
        const auto run = [&](const QStringList& arguments) { return runWithoutDisplay(program, arguments, 0); };
        QCOMPARE(run({"--import", calendar.fileName()}),
                 QStringList({"0",
                              "Imported 1 course into the new schedule \"Fall (2)\".\nSkipped:\n"
                              "  Holiday: an all-day event\n",
                              ""}));
        QCOMPARE(querySql(folder.databasePath(), "select CourseName, Days, TimeFrom, TimeTo from tblCourse"),
                 QList<QStringList>({{"Chemistry", "0,2", "10:00:00 AM", "11:30:00 AM"}}));
        QCOMPARE(run({"--import", folder.file("none.ics"), "--schedule", "X"}),
                 QStringList({"1", "", "quorvane: cannot read " + folder.file("none.ics") + ": no such file"}));
        QCOMPARE(run({"--import", calendar.fileName(), "--weeks", "2"})[0], "2");
        QCOMPARE(scalarSql(folder.databasePath(), "select count(*) from tblSchedules"), "2");
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"

// The program's arguments, and `quorvane --export` in this process and as the
// real program without a display.
#include "app/command_line.h"
#include "app/export_command.h"
#include "app/form1.h"
#include "app/plan_command.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// What --plan was asked for, in one line.
QString planArguments(const PlanArguments& plan)
{
    QStringList rank;
    for (Criterion c : plan.rank)
        rank << criterionName(c);
    QStringList free;
    for (int d = 0; d < 7; ++d)
        if (plan.freeDays[static_cast<size_t>(d)])
            free << QString::number(d);
    QStringList pins;
    for (const auto& [course, id] : plan.pins)
        pins << course + '=' + QString::number(id);
    const auto time = [](const std::optional<QTime>& t) { return t ? t->toString("HH:mm") : "-"; };
    return QStringLiteral("plan %1 top %2 rank %3 free %4 after %5 before %6 busy %7 pins %8 without %9")
               .arg(plan.pool)
               .arg(plan.top)
               .arg(rank.join(','), free.join(','), time(plan.after), time(plan.before), plan.busy.value_or("-"),
                    pins.join(';'), plan.without.join(';')) +
           QStringLiteral(" keep %1%2").arg(plan.keep ? QString::number(*plan.keep) : "-", plan.json ? " json" : "");
}

// A pool of two courses, and a job. Calculus's first row ends at 9:50 AM as
// typed, 9:30 AM on the grid; Physics has two sections of a lecture and a
// lab; the job is on Thursdays from 10 AM to noon.
void addPool(const QString& database, bool exactTimes)
{
    execSql(database, "insert into tblSchedules (Description) values ('Fall'), ('Job')");
    execSql(database, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                      "(1,'Calculus','','0,2','9:00:00 AM','9:30:00 AM'),"
                      "(1,'Calculus','','1,3','1:00:00 PM','2:00:00 PM'),"
                      "(1,'Physics','Section 1','0','9:30:00 AM','10:30:00 AM'),"
                      "(1,'Physics','Section 1','4','2:00:00 PM','4:00:00 PM'),"
                      "(1,'Physics','Section 2','1','10:00:00 AM','11:00:00 AM'),"
                      "(1,'Physics','Section 2','3','10:00:00 AM','11:00:00 AM'),"
                      "(2,'Shift','','3','10:00','12:00')");
    if (exactTimes)
        execSql(database, "update tblCourse set ExactTo=case id when 1 then '9:50:00 AM' when 2 then '2:15:00 PM' "
                          "when 3 then '10:45:00 AM' when 5 then '11:15:00 AM' when 6 then '11:15:00 AM' end");
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
        row("plan", {"--plan", "Fall"},
            "plan Fall top 10 rank days,idle,early free  after - before - busy - pins  without  keep -");
        row("plan with everything", {"--plan=Fall",     "--top=3",     "--rank",
                                     "late,DAYS",       "--free",      "mon,FRI",
                                     "--after",         "9:00AM",      "--before=5:00 PM",
                                     "--busy",          "Job",         "--pin",
                                     "C01 Calculus=12", "--pin=A=B=3", "--without",
                                     "Music",           "--without",   "Art",
                                     "--keep",          "2",           "--json"},
            "plan Fall top 3 rank late,days free 0,4 after 09:00 before 17:00 busy Job pins C01 Calculus=12;A=B=3 "
            "without Music;Art keep 2 json");
        row("plan at 24-hour times", {"--plan", "F", "--after", "09:00", "--before", "17:30"},
            "plan F top 10 rank days,idle,early free  after 09:00 before 17:30 busy - pins  without  keep -");
        row("plan options alone", {"--top", "3"}, "--top goes with --plan NAME");
        row("plan and export", {"--plan", "F", "--export", "x.pdf"}, "--export does not go with --plan");
        row("plan without a name", {"--plan"}, "--plan needs a value");
        row("criterion twice", {"--plan", "F", "--rank", "days,idle,days"},
            "--rank takes some of days,idle,early,late,lunch, each once, separated by commas, not "
            "\"days,idle,days\"");
        row("no such day", {"--plan", "F", "--free", "monday"},
            "--free takes weekdays from mon,tue,wed,thu,fri,sat,sun, separated by commas, not \"monday\"");
        row("no time", {"--plan", "F", "--after", "9"},
            "--after takes a time of day such as 9:00AM, 9:00 AM or 09:00, not \"9\"");
        row("no top", {"--plan", "F", "--top", "0"}, "--top takes a whole number from 1 to 10000, not \"0\"");
        row("pin without id", {"--plan", "F", "--pin", "Art"},
            "--pin takes COURSE=ID, a course's name and the id of a row of the option to take, not \"Art\"");
        row("pinned twice", {"--plan", "F", "--pin", "Art=1", "--pin", "Art=2"}, "--pin pins \"Art\" twice");
        row("pinned and left out", {"--plan", "F", "--pin", "Art=1", "--without", "Art"},
            "\"Art\" is both pinned and left out");
        row("json twice", {"--plan", "F", "--json", "--json"}, "--json is given twice");
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
        else if (line.action == Action::Plan)
            QCOMPARE(planArguments(line.plan), found);
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

    // The plans of a pool as JSON, on the times as typed where the table
    // keeps them, else on the grid's, under each filter.
    void planIsWrittenAsJson_data()
    {
        QTest::addColumn<bool>("exactTimes");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("plans"); // ids and costs per plan, and the count
        const auto row = [](const char* name, bool exact, const QStringList& arguments, const QString& plans) {
            QTest::newRow(name) << exact << arguments << plans;
        };
        // Calculus's first row overlaps Physics's first lecture only on the times as typed.
        row("grid times", false, {},
            "2,5,6 2 240 0 0 0; 1,3,4 3 0 90 0 0; 2,3,4 4 0 30 0 0; 1,5,6 4 0 60 0 0 | clashFree 4");
        row("exact times", true, {}, "2,5,6 2 210 0 0 0; 2,3,4 4 0 30 0 0; 1,5,6 4 0 100 0 0 | clashFree 3");
        row("top", true, {"--top", "1"}, "2,5,6 2 210 0 0 0 | clashFree 3");
        row("rank", true, {"--rank", "early,days"},
            "2,5,6 2 210 0 0 0; 2,3,4 4 0 30 0 0; 1,5,6 4 0 100 0 0 | "
            "clashFree 3");
        row("free", true, {"--free", "fri"}, "2,5,6 2 210 0 0 0; 1,5,6 4 0 100 0 0 | clashFree 2");
        row("after", true, {"--after", "9:30 AM"}, "2,5,6 2 210 0 0 0; 2,3,4 4 0 30 0 0 | clashFree 2");
        row("before", true, {"--before", "3:00PM"}, "2,5,6 2 210 0 0 0; 1,5,6 4 0 100 0 0 | clashFree 2");
        row("busy", true, {"--busy", "Job"}, "2,3,4 4 0 30 0 0 | clashFree 1");
        row("pin", true, {"--pin", "Physics=6"}, "2,5,6 2 210 0 0 0; 1,5,6 4 0 100 0 0 | clashFree 2");
        row("without", true, {"--without", "Physics"}, "2 2 0 0 0 0; 1 2 0 100 0 0 | clashFree 2");
    }
    void planIsWrittenAsJson()
    {
        QFETCH(bool, exactTimes);
        QFETCH(QStringList, arguments);
        QFETCH(QString, plans);
        ProgramFolder folder;
        addPool(folder.databasePath(), exactTimes);
        const CommandOutcome outcome =
            runPlan(parseCommandLine(QStringList{"--plan", "Fall", "--json"} + arguments), folder.path());
        QCOMPARE(outcome.message, "");
        QCOMPARE(outcome.status, 0);
        QJsonParseError error;
        const QJsonObject plan = QJsonDocument::fromJson(outcome.output.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(outcome.output.endsWith("}\n"));
        QCOMPARE(plan["schedule"].toString(), "Fall");
        QCOMPARE(plan["courses"].toArray(),
                 arguments.contains("--without") ? QJsonArray{"Calculus"} : QJsonArray({"Calculus", "Physics"}));
        QCOMPARE(plan["combinations"].toInt(), arguments.contains("--without") ? 2 : 4);
        QStringList found;
        for (const QJsonValue& value : plan["plans"].toArray()) {
            const QJsonObject one = value.toObject();
            QCOMPARE(one["rank"].toInt(), found.size() + 1);
            QStringList ids;
            for (const QJsonValue& id : one["ids"].toArray())
                ids << QString::number(id.toInteger());
            found << QStringLiteral("%1 %2 %3 %4 %5 %6")
                         .arg(ids.join(','))
                         .arg(one["days"].toInt())
                         .arg(one["idle"].toInt())
                         .arg(one["early"].toInt())
                         .arg(one["late"].toInt())
                         .arg(one["lunch"].toInt());
        }
        QCOMPARE(found.join("; ") + " | clashFree " + QString::number(plan["clashFree"].toInt()), plans);
        QVERIFY(!plan.contains("impossible"));
    }

    // No plan: exit status 1, the courses that cannot be taken together and
    // why, in the object and on standard error.
    void impossiblePlanIsExplained()
    {
        ProgramFolder folder;
        addPool(folder.databasePath(), true);
        const CommandOutcome outcome = runPlan(
            parseCommandLine({"--plan", "Fall", "--json", "--pin", "Calculus=1", "--busy", "Job"}), folder.path());
        const QString reason = "Calculus and Physics cannot both be taken: every choice of their options has a clash, "
                               "most often on Monday from 9:00 AM to 10:45 AM. Options ruled out: 1 by the busy times "
                               "of Job, 1 by the pinned options.";
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.message, "quorvane: " + reason);
        const QJsonObject plan = QJsonDocument::fromJson(outcome.output.toUtf8()).object();
        QCOMPARE(plan["clashFree"].toInt(-1), 0);
        QCOMPARE(plan["plans"].toArray(), QJsonArray());
        QCOMPARE(plan["impossible"].toObject(),
                 QJsonObject({{"courses", QJsonArray({"Calculus", "Physics"})}, {"reason", reason}}));
    }

    // A plan kept is a new schedule whose rows are the plan's, every column
    // copied as stored; a name taken gets " (2)".
    void keptPlanCopiesItsRows()
    {
        ProgramFolder folder;
        const QString database = folder.databasePath();
        addPool(database, true);
        // Values no dialog writes: a number, and text with blanks and a quote.
        execSql(database, "update tblCourse set Days=0, Notes=' Section 1 '' ' where id=3");
        execSql(database, "update tblCourse set Notes=' Section 1 '' ' where id=4");
        const auto kept = [&](const QStringList& arguments) {
            return runPlan(parseCommandLine(QStringList{"--plan", "Fall"} + arguments), folder.path());
        };
        const CommandOutcome outcome = kept({"--keep", "2", "--top", "1"});
        QCOMPARE(outcome.message, "");
        QCOMPARE(outcome.output, "1. days 2, idle 210, early 0, late 0, lunch 0: rows 2, 5, 6\n"
                                 "Fall: 2 courses, 4 combinations, 3 clash-free plans.\n"
                                 "Plan 2 kept as the schedule \"Fall plan 2\".\n");
        const QString columns = "hex(CourseName), typeof(CourseName), hex(Notes), typeof(Notes), hex(Days), "
                                "typeof(Days), hex(TimeFrom), hex(TimeTo), hex(ExactFrom), typeof(ExactFrom), "
                                "hex(ExactTo)";
        QCOMPARE(querySql(database, "select " + columns + " from tblCourse where ScheduleID=3 order by id"),
                 querySql(database, "select " + columns + " from tblCourse where id in (2,3,4) order by id"));
        QCOMPARE(querySql(database, "select id, Description from tblSchedules where id=3"),
                 QList<QStringList>({{"3", "Fall plan 2"}}));
        const QJsonObject again = QJsonDocument::fromJson(kept({"--keep=2", "--json"}).output.toUtf8()).object();
        QCOMPARE(again["kept"].toString(), "Fall plan 2 (2)");
        QCOMPARE(scalarSql(database, "select count(*) from tblCourse where ScheduleID=4"), "3");
        const CommandOutcome missing = kept({"--keep", "4"});
        QCOMPARE(missing.status, 1);
        QCOMPARE(missing.message, "quorvane: there is no plan 4: 3 plans were found");
        QCOMPARE(scalarSql(database, "select count(*) from tblSchedules"), "4");
    }

    // The real program plans without a display: 0 with a plan, 1 without
    // one or without the pool, 2 for bad arguments.
    void planRunsWithoutADisplay()
    {
        ProgramFolder folder;
        addPool(folder.databasePath(), true);
        const QString program = folder.file("quorvane");
        QVERIFY(QFile::copy(qEnvironmentVariable("QUORVANE_BUILD_DIR") + "/quorvane", program));
        const auto run = [&](const QStringList& arguments) { return runWithoutDisplay(program, arguments, 0); };
        QCOMPARE(run({"--plan", "Fall", "--top", "2", "--rank", "idle"}),
                 QStringList({"0",
                              "1. days 4, idle 0, early 100, late 0, lunch 0: rows 1, 5, 6\n"
                              "2. days 4, idle 0, early 30, late 0, lunch 0: rows 2, 3, 4\n"
                              "Fall: 2 courses, 4 combinations, 3 clash-free plans.\n",
                              ""}));
        QCOMPARE(run({"--plan", "Fall", "--free", "fri", "--busy", "Job"}),
                 QStringList({"1", "Fall: 2 courses, 4 combinations, no clash-free plan.\n",
                              "quorvane: Physics cannot be taken: every one of its options is ruled out. Options "
                              "ruled out: 1 by keeping Friday free, 1 by the busy times of Job."}));
        QCOMPARE(run({"--plan", "Spring"}), QStringList({"1", "", "quorvane: no schedule is named \"Spring\""}));
        QCOMPARE(run({"--plan", "Fall", "--without", "Art"}),
                 QStringList({"1", "", "quorvane: no course of \"Fall\" is named \"Art\""}));
        QCOMPARE(run({"--plan", "Fall", "--pin", "Physics=2"}),
                 QStringList({"1", "", "quorvane: no option of \"Physics\" holds row 2"}));
        QCOMPARE(run({"--plan", "Job", "--without", "Shift"}),
                 QStringList({"1", "", "quorvane: \"Job\" has no course to plan"}));
        QCOMPARE(run({"--plan", "Fall", "--rank", "fun"})[0], "2");
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"

// The program's arguments, and `quorvane --export` in this process and as the
// real program without a display.
#include "app/command_line.h"
#include "app/export_command.h"
#include "tests/support/expected_texts.h"
#include "tests/support/test_db.h"

#include <QProcess>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void argumentsAreParsed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("found"); // the file, schedule and weeks, or the error
        QTest::newRow("none") << QStringList() << Action::Window << "";
        QTest::newRow("Qt's own") << QStringList{"-platform", "xcb"} << Action::Window << "";
        QTest::newRow("help") << QStringList{"--help"} << Action::Help << "";
        QTest::newRow("export") << QStringList{"--export", "w.pdf"} << Action::Export << "w.pdf, none, 16";
        QTest::newRow("all three") << QStringList{"--schedule", "A, B", "--export", "W.ICS", "--weeks", "3"}
                                   << Action::Export << "W.ICS, A, B, 3";
        QTest::newRow("no file") << QStringList{"--export"} << Action::BadArguments << "--export needs a value";
        QTest::newRow("unknown extension")
            << QStringList{"--export", "w.txt"} << Action::BadArguments << "cannot tell the format of \"w.txt\"";
        QTest::newRow("no extension") << QStringList{"--export", "w"} << Action::BadArguments
                                      << "cannot tell the format of \"w\"";
        QTest::newRow("no export") << QStringList{"--schedule", "A"} << Action::BadArguments
                                   << "--schedule and --weeks go with --export FILE";
        QTest::newRow("twice") << QStringList{"--export", "a.pdf", "--export", "b.pdf"} << Action::BadArguments
                               << "--export is given twice";
        QTest::newRow("no weeks") << QStringList{"--export", "a.ics", "--weeks", "0"} << Action::BadArguments
                                  << "--weeks takes a whole number from 1 to 520, not \"0\"";
        QTest::newRow("weeks no number") << QStringList{"--export", "a.ics", "--weeks", "4x"} << Action::BadArguments
                                         << "not \"4x\"";
        QTest::newRow("another argument") << QStringList{"--export", "a.pdf", "-platform", "xcb"}
                                          << Action::BadArguments << "unknown argument \"-platform\"";
    }
    void argumentsAreParsed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, found);
        const CommandLine line = parseCommandLine(arguments);
        QCOMPARE(line.action, action);
        if (action == Action::BadArguments)
            QVERIFY2(line.error.contains(found), qPrintable(line.error));
        else if (action == Action::Export)
            QCOMPARE(QStringLiteral("%1, %2, %3").arg(line.exportFile, line.schedule.value_or("none")).arg(line.weeks),
                     found);
    }

    void exportEndsWithOneLine_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("schedule");
        QTest::addColumn<QString>("message"); // after "quorvane: "; FOLDER stands for the program's folder
        QTest::newRow("written") << ""
                                 << "w.xlsx"
                                 << "Week 2"
                                 << "";
        QTest::newRow("the first schedule") << ""
                                            << "w.csv" << QString() << "";
        QTest::newRow("no database") << "no database"
                                     << "w.png" << QString() << "FOLDER/dbSchedules.mdb not found";
        QTest::newRow("no database inside") << "not a database"
                                            << "w.png" << QString() << "file is not a database";
        QTest::newRow("no schedules") << "no schedules"
                                      << "w.png" << QString() << "FOLDER/dbSchedules.mdb holds no schedule";
        QTest::newRow("no such schedule") << ""
                                          << "w.png"
                                          << "Week"
                                          << "no schedule is named \"Week\"";
        QTest::newRow("no such folder") << ""
                                        << "missing/w.ics" << QString()
                                        << "cannot write FOLDER/missing/w.ics: No such file or directory";
        QTest::newRow("a folder") << "folder"
                                  << "w.pdf" << QString() << "cannot write FOLDER/w.pdf: it is not a regular file";
        QTest::newRow("a link to the database")
            << "link"
            << "w.pdf" << QString() << "cannot write FOLDER/w.pdf: it is the program's own database";
    }
    void exportEndsWithOneLine()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, file);
        QFETCH(QString, schedule);
        QFETCH(QString, message);
        ProgramFolder folder(setUp != "no database");
        const QString db = folder.databasePath();
        if (setUp == "not a database") {
            QFile garbage(db);
            QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
            garbage.write(QByteArray(4096, 'x'));
        } else if (setUp != "no schedules" && setUp != "no database") {
            execSql(db, "insert into tblSchedules (Description) values ('Week 1'), ('Week 2')");
        }
        const QString target = folder.file(file);
        if (setUp == "folder")
            QVERIFY(QDir().mkdir(target));
        if (setUp == "link")
            QVERIFY(QFile::link(db, target));
        CommandLine line = parseCommandLine({"--export", target});
        if (!schedule.isNull())
            line.schedule = schedule;
        const ExportOutcome outcome = runExport(line, folder.path());
        QCOMPARE(outcome.message, message.isEmpty() ? "" : "quorvane: " + message.replace("FOLDER", folder.path()));
        QCOMPARE(outcome.status, message.isEmpty() ? 0 : 1);
        QCOMPARE(QFileInfo(target).isFile() && !QFileInfo(target).isSymLink(), message.isEmpty());
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
                               quorvane.readAllStandardError()};
        };
        QCOMPARE(run({"--export", folder.file("week.pdf"), "--schedule", "Week"}), QStringList({"0", "", ""}));
        QVERIFY(fileBytes(folder.file("week.pdf")).startsWith("%PDF-"));
        QCOMPARE(run({"--schedule", "Nope", "--export", folder.file("nope.png")}),
                 QStringList({"1", "", "quorvane: no schedule is named \"Nope\"\n"}));
        const QStringList bad = run({"--weeks", "3"});
        QCOMPARE(bad.mid(0, 2), QStringList({"2", ""}));
        QVERIFY2(bad[2].startsWith("quorvane: --schedule and --weeks go with --export FILE\nUsage: quorvane"),
                 qPrintable(bad[2]));
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"

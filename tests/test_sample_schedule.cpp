// The one-click sample schedule, driven on a real main window.
#include "app/form1.h"
#include "tests/support/expected_texts.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"

#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString kSample = QStringLiteral("Sample Schedule");

// The three sample courses of schedule `id` as tblCourse holds them, without
// the course ids: ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo.
QList<QStringList> sampleCourses(const QString& id)
{
    return {
        {id, "Mathematics", "mathematics for beginners", "0,3,4", "08:30", "10:00"},
        {id, "Engineering", "engineering advanced level", "1,2,5", "10:00", "10:45"},
        {id, "Design", "design mid level", "0,2,3", "11:30", "13:00"},
    };
}

QStringList listIds(const Form1& form)
{
    return listColumn(form, 0);
}

// The grid row whose time label reads `label`.
int rowOf(const Form1& form, const QString& label)
{
    for (int r = 1; r < form.grid().rows(); ++r)
        if (form.grid().text(r, 0) == label)
            return r;
    return -1;
}

} // namespace

class SampleScheduleTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstUseCreatesTheSampleBesideOtherSchedules();
    void firstUseOnAnEmptyList();
    void secondUseReusesTheSampleAndResetsItsCourses();
    void renamedSampleIsLeftAlone();
    void lookalikeNamesAreNotTheSample_data();
    void lookalikeNamesAreNotTheSample();
    void onlyTheFirstOfTwoSamplesIsReset();
    void gridShowsTheSampleWeek_data();
    void gridShowsTheSampleWeek();
    void rejectedScheduleInsertTouchesNoOtherSchedule();
    void rejectedCourseLeavesTheDatabaseAsItWas();
    void rejectedRenameLeavesTheSampleAsItWas();

private:
    QString db() const { return m_folder->databasePath(); }
    void load();
    void addCourse(int schedule, const QString& name, const QString& days, const QString& from, const QString& to);
    QList<QStringList> schedules() const
    {
        return querySql(db(), QStringLiteral("select id, Description from tblSchedules order by id"));
    }
    QList<QStringList> coursesOf(const QString& id) const
    {
        return querySql(db(), QStringLiteral("select ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo "
                                             "from tblCourse where ScheduleID=%1 order by id")
                                  .arg(id));
    }
    QList<QStringList> allCourses() const
    {
        return querySql(db(), QStringLiteral("select * from tblCourse order by id"));
    }

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void SampleScheduleTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void SampleScheduleTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void SampleScheduleTest::load()
{
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
    QVERIFY(m_prompts->shown.isEmpty());
}

void SampleScheduleTest::addCourse(int schedule, const QString& name, const QString& days, const QString& from,
                                   const QString& to)
{
    execSql(db(), QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                 "values (%1,'%2','mine','%3','%4','%5')")
                      .arg(schedule)
                      .arg(name, days, from, to));
}

void SampleScheduleTest::firstUseCreatesTheSampleBesideOtherSchedules()
{
    // Ids 1 and 6 taken: the sample becomes schedule 7.
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Work')");
    execSql(db(), "insert into tblSchedules (id, Description) values (6, 'Home')");
    addCourse(1, "Standup", "0,1,2,3,4", "09:00", "09:00");
    addCourse(6, "Gym", "5", "08:30", "10:00");
    load();
    m_form->selectSchedule(2);
    m_form->ListView1_Click();
    const auto homeCourses = coursesOf("6");
    const auto workCourses = coursesOf("1");

    m_form->pushButton(9)->click();

    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->messageTexts().join('|')));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Work"}, {"6", "Home"}, {"7", kSample}}));
    QCOMPARE(coursesOf("7"), sampleCourses("7"));
    QCOMPARE(coursesOf("6"), homeCourses);
    QCOMPARE(coursesOf("1"), workCourses);
    QCOMPARE(listIds(*m_form), (QStringList{"1", "6", "7"}));
    QCOMPARE(selectedRow(*m_form), 3);
    QCOMPARE(m_form->selectedScheduleName(), kSample);
    // The grid shows the sample alone, not Home's Saturday course.
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "8:30 AM"), 1), QStringLiteral("Mathematics"));
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "8:30 AM"), 6), QString());
}

void SampleScheduleTest::firstUseOnAnEmptyList()
{
    load();
    QCOMPARE(m_form->scheduleCount(), 0);

    m_form->PushButton9_Click();

    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->messageTexts().join('|')));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", kSample}}));
    QCOMPARE(coursesOf("1"), sampleCourses("1"));
    QCOMPARE(selectedRow(*m_form), 1);
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "10:00 AM"), 2), QStringLiteral("Engineering"));
}

void SampleScheduleTest::secondUseReusesTheSampleAndResetsItsCourses()
{
    execSql(db(), "insert into tblSchedules (Description) values ('First')");
    load();
    m_form->PushButton9_Click();
    QCOMPARE(scalarSql(db(), "select id from tblSchedules where Description='Sample Schedule'"), QStringLiteral("2"));
    const int lastCourseId = scalarSql(db(), "select max(id) from tblCourse").toInt();
    // The user changes the sample: one course more, one less.
    addCourse(2, "Own course", "6", "18:00", "19:00");
    execSql(db(), "delete from tblCourse where CourseName='Engineering'");
    // Another schedule is selected when the button is clicked again.
    m_form->selectSchedule(1);

    m_form->pushButton(9)->click();

    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "First"}, {"2", kSample}}));
    QCOMPARE(coursesOf("2"), sampleCourses("2"));
    // Each course is new.
    QCOMPARE(scalarSql(db(), QStringLiteral("select count(*) from tblCourse where id<=%1").arg(lastCourseId)),
             QStringLiteral("0"));
    QCOMPARE(selectedRow(*m_form), 2);
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "6:00 PM"), 7), QString());
}

void SampleScheduleTest::renamedSampleIsLeftAlone()
{
    load();
    m_form->PushButton9_Click();
    // Renamed through Edit Schedule, as a user would.
    m_prompts->type(QStringLiteral("My timetable"));
    m_form->PushButton5_Click();
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "My timetable"}}));
    m_prompts->clear();

    m_form->PushButton9_Click();

    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "My timetable"}, {"2", kSample}}));
    QCOMPARE(coursesOf("1"), sampleCourses("1"));
    QCOMPARE(coursesOf("2"), sampleCourses("2"));
    QCOMPARE(selectedRow(*m_form), 2);
}

void SampleScheduleTest::lookalikeNamesAreNotTheSample_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case") << QStringLiteral("sample schedule");
    QTest::newRow("capitals") << QStringLiteral("SAMPLE SCHEDULE");
    QTest::newRow("blank before") << QStringLiteral(" Sample Schedule");
    QTest::newRow("blank after") << QStringLiteral("Sample Schedule ");
    QTest::newRow("two blanks inside") << QStringLiteral("Sample  Schedule");
    QTest::newRow("line break after") << QStringLiteral("Sample Schedule\n");
    QTest::newRow("tab inside") << QStringLiteral("Sample\tSchedule");
    QTest::newRow("byte-order mark before") << QChar(0xFEFF) + QStringLiteral("Sample Schedule");
}

void SampleScheduleTest::lookalikeNamesAreNotTheSample()
{
    QFETCH(QString, name);
    execSql(db(), QStringLiteral("insert into tblSchedules (Description) values ('%1')").arg(name));
    addCourse(1, "Keep me", "0", "08:30", "09:00");
    load();

    m_form->PushButton9_Click();

    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(schedules(), (QList<QStringList>{{"1", name}, {"2", kSample}}));
    QCOMPARE(coursesOf("1"), (QList<QStringList>{{"1", "Keep me", "mine", "0", "08:30", "09:00"}}));
    QCOMPARE(coursesOf("2"), sampleCourses("2"));
    QCOMPARE(selectedRow(*m_form), 2);
}

void SampleScheduleTest::onlyTheFirstOfTwoSamplesIsReset()
{
    execSql(db(), "insert into tblSchedules (Description) values ('Sample Schedule')");
    execSql(db(), "insert into tblSchedules (Description) values ('Other')");
    execSql(db(), "insert into tblSchedules (Description) values ('Sample Schedule')");
    addCourse(1, "Old", "0", "06:00", "06:30");
    addCourse(3, "Second sample", "1", "07:00", "07:30");
    load();
    m_form->selectSchedule(3);
    const auto secondSample = coursesOf("3");

    m_form->PushButton9_Click();

    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(schedules(), (QList<QStringList>{{"1", kSample}, {"2", "Other"}, {"3", kSample}}));
    QCOMPARE(coursesOf("1"), sampleCourses("1"));
    QCOMPARE(coursesOf("3"), secondSample);
    QCOMPARE(selectedRow(*m_form), 1);
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "6:00 AM"), 1), QString());
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "7:00 AM"), 2), QString());
}

void SampleScheduleTest::gridShowsTheSampleWeek_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("cells"); // "label=course" for every filled row of the day

    const QStringList mathematics{"8:30 AM=Mathematics", "9:00 AM=Mathematics", "9:30 AM=Mathematics",
                                  "10:00 AM=Mathematics"};
    const QStringList engineering{"10:00 AM=Engineering", "10:30 AM=Engineering"};
    const QStringList design{"11:30 AM=Design", "12:00 PM=Design", "12:30 PM=Design", "1:00 PM=Design"};
    QTest::newRow("Monday") << 1 << mathematics + design;
    QTest::newRow("Tuesday") << 2 << engineering;
    QTest::newRow("Wednesday") << 3 << engineering + design;
    QTest::newRow("Thursday") << 4 << mathematics + design;
    QTest::newRow("Friday") << 5 << mathematics;
    QTest::newRow("Saturday") << 6 << engineering;
    QTest::newRow("Sunday") << 7 << QStringList();
}

void SampleScheduleTest::gridShowsTheSampleWeek()
{
    QFETCH(int, col);
    QFETCH(QStringList, cells);
    execSql(db(), "insert into tblSchedules (Description) values ('Busy')");
    addCourse(1, "Everywhere", "0,1,2,3,4,5,6", "06:00", "21:30");
    load();
    QCOMPARE(m_form->grid().text(1, col), QStringLiteral("Everywhere"));

    m_form->PushButton9_Click();

    QStringList shown;
    for (int r = 1; r < m_form->grid().rows(); ++r)
        if (!m_form->grid().text(r, col).isEmpty())
            shown << m_form->grid().text(r, 0) + QLatin1Char('=') + m_form->grid().text(r, col);
    QCOMPARE(shown, cells);
}

void SampleScheduleTest::rejectedScheduleInsertTouchesNoOtherSchedule()
{
    execSql(db(), "insert into tblSchedules (Description) values ('Work')");
    execSql(db(), "insert into tblSchedules (Description) values ('Home')");
    addCourse(1, "Standup", "0", "09:00", "09:30");
    addCourse(2, "Gym", "5", "08:30", "10:00");
    execSql(db(), "CREATE TRIGGER refuse BEFORE INSERT ON tblSchedules BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();
    m_form->selectSchedule(2);
    const auto courses = allCourses();

    m_form->PushButton9_Click();

    // One report, for the insert; Home, still selected, is neither emptied
    // nor given the sample's courses.
    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton9_Click", 116)),
             qPrintable(errors.first().text));
    QVERIFY(errors.first().text.contains(QStringLiteral("read-only")));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Work"}, {"2", "Home"}}));
    QCOMPARE(allCourses(), courses);
}

// The sample is made wholly or not at all.
void SampleScheduleTest::rejectedCourseLeavesTheDatabaseAsItWas()
{
    execSql(db(), "insert into tblSchedules (Description) values ('Work')");
    execSql(db(), "CREATE TRIGGER refuse BEFORE INSERT ON tblCourse WHEN new.CourseName='Engineering' "
                  "BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();

    m_form->PushButton9_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton9_Click", 134)),
             qPrintable(errors.first().text));
    QCOMPARE(querySql(db(), "select Description from tblSchedules"), QList<QStringList>{{"Work"}});
    QCOMPARE(coursesOf("2"), QList<QStringList>());
    // 148 to 160 still ran: the list is reloaded, the grid is empty.
    QCOMPARE(m_form->scheduleCount(), 1);
    QCOMPARE(m_form->grid().text(rowOf(*m_form, "11:30 AM"), 1), QString());
}

void SampleScheduleTest::rejectedRenameLeavesTheSampleAsItWas()
{
    execSql(db(), "insert into tblSchedules (Description) values ('Work')");
    execSql(db(), "insert into tblSchedules (Description) values ('Sample Schedule')");
    addCourse(2, "Own course", "6", "18:00", "19:00");
    execSql(db(), "CREATE TRIGGER refuse BEFORE UPDATE ON tblSchedules BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();

    m_form->PushButton9_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton9_Click", 118)),
             qPrintable(errors.first().text));
    const auto own = coursesOf("2");
    QCOMPARE(own.size(), 1);
    QCOMPARE(own.first().value(1), QStringLiteral("Own course"));
    QCOMPARE(coursesOf("1"), QList<QStringList>());
    QCOMPARE(selectedRow(*m_form), 2);
}

QTEST_MAIN(SampleScheduleTest)
#include "test_sample_schedule.moc"

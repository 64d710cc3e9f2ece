// The course checks shared by Add Course and Edit Course, the time pickers
// they work on, and the dialog colours.
#include "base/failure.h"
#include "base/reporting.h"
#include "base/time_of_day.h"
#include "dialogs/course_checks.h"
#include "tests/support/scripted_prompts.h"
#include "widgets/appearance.h"
#include "widgets/time_picker.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The pickers and day boxes of a course dialog, in a shown window so that
// focus moves can be seen.
struct Controls
{
    Controls()
    {
        window.resize(400, 200);
        from = new TimePicker(&window);
        from->setObjectName(QStringLiteral("dtpFrom"));
        to = new TimePicker(&window);
        to->setObjectName(QStringLiteral("dtpTo"));
        for (int i = 0; i < dayset::kDays; ++i) {
            auto* box = new QCheckBox(&window);
            box->setObjectName(QStringLiteral("Check1_%1").arg(i));
            input.check1[static_cast<size_t>(i)] = box;
        }
        input.dtpFrom = from;
        input.dtpTo = to;
        other = new QLineEdit(&window);
        other->setObjectName(QStringLiteral("elsewhere"));
        window.show();
        other->setFocus();
    }

    QString focusName() const { return window.focusWidget() ? window.focusWidget()->objectName() : QString(); }

    // Runs the checks as Save does; true when they passed.
    bool run(ScriptedPrompts& prompts, CheckedDays& days)
    {
        Procedure p(prompts, &window, location("Form2", "PushButton1_Click"));
        return RunCourseChecks(p, input, days);
    }

    QWidget window;
    TimePicker* from = nullptr;
    TimePicker* to = nullptr;
    QLineEdit* other = nullptr;
    CourseInput input;
};

QTime hm(const QString& text)
{
    return QTime::fromString(text, text.size() > 5 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

} // namespace

class CourseChecksTest : public QObject
{
    Q_OBJECT
private slots:
    void pickerShowsHoursMinutesAndDesignator();
    void pickerMinuteChangesOnlyTheMinute();
    void pickerReadsTimeTexts_data();
    void pickerReadsTimeTexts();
    void pickerRefusesTextThatIsNoTime_data();
    void pickerRefusesTextThatIsNoTime();

    void timeChecksRefuseInOrder_data();
    void timeChecksRefuseInOrder();
    void minutesSnapToTheHalfHourOfTheSameHour_data();
    void minutesSnapToTheHalfHourOfTheSameHour();
    void refusedTimesAreNotSnapped();
    void daySetListsTickedDaysInAscendingOrder_data();
    void daySetListsTickedDaysInAscendingOrder();

    void dialogColoursGoToLabelsFramesAndBoxesOnly();
};

void CourseChecksTest::pickerShowsHoursMinutesAndDesignator()
{
    TimePicker picker;
    QCOMPARE(picker.displayFormat(), QStringLiteral("hh:mm AP"));
    picker.setValue(QTime(13, 5, 0));
    QCOMPARE(picker.text(), QStringLiteral("01:05 PM"));
    picker.setValue(QTime(9, 30, 0));
    QCOMPARE(picker.text(), QStringLiteral("09:30 AM"));
}

void CourseChecksTest::pickerMinuteChangesOnlyTheMinute()
{
    TimePicker picker;
    picker.setValue(QTime(9, 46, 17));
    QCOMPARE(picker.minute(), 46);
    picker.setMinute(30);
    QCOMPARE(picker.value(), QTime(9, 30, 17));
    picker.setMinute(0);
    QCOMPARE(picker.value(), QTime(9, 0, 17));
    QVERIFY_THROWS_EXCEPTION(Failure, picker.setMinute(60));
    QCOMPARE(picker.value(), QTime(9, 0, 17));
}

void CourseChecksTest::pickerReadsTimeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("expected");
    QTest::newRow("grid label") << "10:00 AM" << QTime(10, 0);
    QTest::newRow("afternoon label") << "1:30 PM" << QTime(13, 30);
    QTest::newRow("long form") << "8:30:00 AM" << QTime(8, 30);
    QTest::newRow("sample form") << "08:30" << QTime(8, 30);
    QTest::newRow("noon") << "12:00:00 PM" << QTime(12, 0);
}

void CourseChecksTest::pickerReadsTimeTexts()
{
    QFETCH(QString, text);
    QFETCH(QTime, expected);
    TimePicker picker;
    picker.setValueText(text);
    QCOMPARE(picker.value(), expected);
}

void CourseChecksTest::pickerRefusesTextThatIsNoTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("bare hour") << "9";
    QTest::newRow("letter") << "a";
    QTest::newRow("hour 25") << "25:00";
    QTest::newRow("date") << "2021/08/31";
    QTest::newRow("date and time") << "2021-08-31 08:30";
}

void CourseChecksTest::pickerRefusesTextThatIsNoTime()
{
    QFETCH(QString, text);
    TimePicker picker;
    picker.setValue(QTime(7, 0));
    QVERIFY_THROWS_EXCEPTION(Failure, picker.setValueText(text));
    QCOMPARE(picker.value(), QTime(7, 0));
}

void CourseChecksTest::timeChecksRefuseInOrder_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message"); // empty: the checks pass
    QTest::addColumn<QString>("focus");

    const QString fromMsg = QStringLiteral("Invalid time from range inputted.");
    const QString toMsg = QStringLiteral("Invalid time to range inputted.");
    const QString rangeMsg = QStringLiteral("Invalid time range inputted.");
    QTest::newRow("06:00 to 21:30 pass") << "06:00"
                                         << "21:30"
                                         << ""
                                         << "elsewhere";
    QTest::newRow("start equal to end passes") << "10:00"
                                               << "10:00"
                                               << ""
                                               << "elsewhere";
    QTest::newRow("start 05:59") << "05:59"
                                 << "10:00" << fromMsg << "dtpFrom";
    QTest::newRow("start 05:59:59") << "05:59:59"
                                    << "10:00" << fromMsg << "dtpFrom";
    QTest::newRow("start 21:31") << "21:31"
                                 << "21:30" << fromMsg << "dtpFrom";
    QTest::newRow("start 21:30:01") << "21:30:01"
                                    << "21:30" << fromMsg << "dtpFrom";
    QTest::newRow("end 05:59") << "06:00"
                               << "05:59" << toMsg << "dtpTo";
    QTest::newRow("end 21:31 though snapping would make it 21:30") << "06:00"
                                                                   << "21:31" << toMsg << "dtpTo";
    QTest::newRow("end 21:30:01") << "06:00"
                                  << "21:30:01" << toMsg << "dtpTo";
    QTest::newRow("start checked before end") << "05:00"
                                              << "22:00" << fromMsg << "dtpFrom";
    QTest::newRow("08:50 to 08:40 refused before snapping") << "08:50"
                                                            << "08:40" << rangeMsg << "dtpFrom";
    QTest::newRow("seconds count in the order") << "08:40:01"
                                                << "08:40" << rangeMsg << "dtpFrom";
    QTest::newRow("08:40 to 08:50 passes") << "08:40"
                                           << "08:50"
                                           << ""
                                           << "elsewhere";
}

void CourseChecksTest::timeChecksRefuseInOrder()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Controls c;
    ScriptedPrompts prompts;
    c.from->setValue(hm(from));
    c.to->setValue(hm(to));
    c.input.check1[2]->setChecked(true);
    CheckedDays days;

    QCOMPARE(c.run(prompts, days), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(prompts.shown.isEmpty());
    } else {
        QCOMPARE(prompts.messages().size(), 1);
        const MessageBoxRequest box = prompts.messages().first();
        QCOMPARE(box.text, message);
        QCOMPARE(box.title, QStringLiteral("Quorvane"));
        QCOMPARE(box.buttons, Buttons::Ok);
        QCOMPARE(box.icon, Icon::None);
        QCOMPARE(days.daySet, QString());
    }
    QCOMPARE(c.focusName(), focus);
}

void CourseChecksTest::minutesSnapToTheHalfHourOfTheSameHour_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("snapped");
    QTest::newRow("09:00") << "09:00"
                           << "09:00";
    QTest::newRow("09:15") << "09:15"
                           << "09:00";
    QTest::newRow("09:16") << "09:16"
                           << "09:30";
    QTest::newRow("09:30") << "09:30"
                           << "09:30";
    QTest::newRow("09:31") << "09:31"
                           << "09:30";
    QTest::newRow("09:45") << "09:45"
                           << "09:30";
    QTest::newRow("09:46 stays in the hour") << "09:46"
                                             << "09:30";
    QTest::newRow("09:59") << "09:59"
                           << "09:30";
    QTest::newRow("seconds stay") << "09:46:20"
                                  << "09:30:20";
    QTest::newRow("06:10") << "06:10"
                           << "06:00";
    QTest::newRow("21:29") << "21:29"
                           << "21:30";
}

void CourseChecksTest::minutesSnapToTheHalfHourOfTheSameHour()
{
    QFETCH(QString, time);
    QFETCH(QString, snapped);
    // The same rules for both pickers: first as start (end 21:30), then as end (start 06:00).
    for (const bool asStart : {true, false}) {
        Controls c;
        ScriptedPrompts prompts;
        c.from->setValue(asStart ? hm(time) : QTime(6, 0));
        c.to->setValue(asStart ? QTime(21, 30) : hm(time));
        CheckedDays days;
        QVERIFY(c.run(prompts, days));
        QCOMPARE((asStart ? c.from : c.to)->value(), hm(snapped));
        QCOMPARE((asStart ? c.to : c.from)->value(), asStart ? QTime(21, 30) : QTime(6, 0));
    }
    // A calendar's times are imported as the dialogs snap them.
    QCOMPARE(timeofday::snappedToHalfHour(hm(time)), hm(snapped));
}

void CourseChecksTest::refusedTimesAreNotSnapped()
{
    Controls c;
    ScriptedPrompts prompts;
    c.from->setValue(QTime(8, 50));
    c.to->setValue(QTime(8, 40));
    CheckedDays days;
    QVERIFY(!c.run(prompts, days));
    QCOMPARE(c.from->value(), QTime(8, 50));
    QCOMPARE(c.to->value(), QTime(8, 40));
}

void CourseChecksTest::daySetListsTickedDaysInAscendingOrder_data()
{
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("daySet");
    QTest::addColumn<bool>("anyDay");
    QTest::newRow("Mon Thu Fri") << QList<int>{4, 0, 3} << "0,3,4" << true;
    QTest::newRow("Sunday only") << QList<int>{6} << "6" << true;
    QTest::newRow("every day") << QList<int>{6, 5, 4, 3, 2, 1, 0} << "0,1,2,3,4,5,6" << true;
    QTest::newRow("Tue Wed Sat") << QList<int>{1, 2, 5} << "1,2,5" << true;
    QTest::newRow("none") << QList<int>{} << "" << false;
}

void CourseChecksTest::daySetListsTickedDaysInAscendingOrder()
{
    QFETCH(QList<int>, ticked);
    QFETCH(QString, daySet);
    QFETCH(bool, anyDay);
    Controls c;
    ScriptedPrompts prompts;
    c.from->setValue(QTime(8, 0));
    c.to->setValue(QTime(9, 0));
    for (const int day : ticked)
        c.input.check1[static_cast<size_t>(day)]->setChecked(true);
    CheckedDays days;
    days.anyDay = !anyDay; // left over from an earlier Save: the checks reset it
    days.daySet = QStringLiteral("stale");
    QVERIFY(c.run(prompts, days));
    QCOMPARE(days.daySet, daySet);
    QCOMPARE(days.anyDay, anyDay);
    QVERIFY(prompts.shown.isEmpty());
}

void CourseChecksTest::dialogColoursGoToLabelsFramesAndBoxesOnly()
{
    QWidget window;
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    window.setPalette(white);
    auto* label = new QLabel(QStringLiteral("Course Name:"), &window);
    auto* frame = new QGroupBox(QStringLiteral("Days"), &window);
    auto* box = new QCheckBox(QStringLiteral("Mon"), frame);
    auto* option = new QRadioButton(QStringLiteral("A"), &window);
    auto* text = new QLineEdit(&window);
    auto* combo = new QComboBox(&window);
    auto* picker = new TimePicker(frame);
    auto* button = new QPushButton(QStringLiteral("Save"), &window);
    for (QWidget* w : std::initializer_list<QWidget*>{label, frame, box, option}) {
        w->setPalette(white);
        w->setAutoFillBackground(true);
    }
    const QColor textBase = text->palette().color(QPalette::Base);
    const QColor buttonFace = button->palette().color(QPalette::Button);

    ApplyDialogColors(&window);

    const QColor face = QApplication::palette().color(QPalette::Button);
    QVERIFY(face != QColor(Qt::white));
    for (QWidget* w : std::initializer_list<QWidget*>{&window, label, frame, box, option}) {
        QCOMPARE(w->palette().color(QPalette::Window), face);
        QVERIFY(w->autoFillBackground());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{text, combo, picker, button})
        QVERIFY2(!w->autoFillBackground(), qPrintable(w->metaObject()->className()));
    QCOMPARE(text->palette().color(QPalette::Base), textBase);
    QCOMPARE(button->palette().color(QPalette::Button), buttonFace);
}

QTEST_MAIN(CourseChecksTest)
#include "test_course_checks.moc"

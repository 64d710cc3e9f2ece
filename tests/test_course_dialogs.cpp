// The Add, Edit and Delete Course dialogs on their own: layout, checks,
// what each writes to the database and how each closes.
#include "app/form1.h"
#include "base/twips.h"
#include "dialogs/course_checks.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/statement_log.h"
#include "tests/support/test_db.h"
#include "widgets/pointer.h"
#include "widgets/qt_prompts.h"
#include "widgets/time_picker.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QString caption(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title();
    if (auto* box = qobject_cast<QAbstractButton*>(w))
        return box->text();
    return QString();
}

QString focusName(const QWidget& window)
{
    return window.focusWidget() ? window.focusWidget()->objectName() : QStringLiteral("<none>");
}

// Rejects every statement of one kind on tblCourse with the given message.
void refuse(const QString& db, const char* kind, const char* message)
{
    execSql(db, QStringLiteral("create trigger refuse_%1 before %1 on tblCourse begin select raise(abort, '%2'); end")
                    .arg(QLatin1String(kind), QLatin1String(message)));
}

} // namespace

class CourseDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowsAreFixedDialogs_data();
    void windowsAreFixedDialogs();
    void controlsArePlacedAndCaptioned_data();
    void controlsArePlacedAndCaptioned();
    void focusMovesInTheGivenOrder_data();
    void focusMovesInTheGivenOrder();
    void returnPressesTheFocusedButtonOnly_data();
    void returnPressesTheFocusedButtonOnly();
    void ctrlReturnPressesTheDialogsButtonFromAnyField_data();
    void ctrlReturnPressesTheDialogsButtonFromAnyField();
    void pickersSelectTheSectionToTypeInto();
    void loadGivesLabelsFramesAndBoxesTheFaceColour_data();
    void loadGivesLabelsFramesAndBoxesTheFaceColour();
    void loadTakesTheHandCursorFromTheProgramFolder_data();
    void loadTakesTheHandCursorFromTheProgramFolder();
    void pointerShowsTheHandOverButtonsOnly_data();
    void pointerShowsTheHandOverButtonsOnly();
    void shownModallyUntilTheDialogCloses_data();
    void shownModallyUntilTheDialogCloses();

    void addStartsEmpty();
    void addSendsStatement10AndCloses();
    void addStoresTextsExactlyAsTyped_data();
    void addStoresTextsExactlyAsTyped();
    void addRefusesInOrderAndWritesNothing_data();
    void addRefusesInOrderAndWritesNothing();
    void addWithoutDayShowsTheSnappedTimes();
    void addStoresEqualTimesAfterSnapping();
    void addThatCannotBeStoredIsReportedAt188AndStaysAsTyped_data();
    void addThatCannotBeStoredIsReportedAt188AndStaysAsTyped();
    void cancelAndCloseBoxWriteNothing_data();
    void cancelAndCloseBoxWriteNothing();

    void editListsEveryCourseInDatabaseOrder();
    void editSelectingACourseLoadsIt();
    void editSelectingAThenBLeavesOnlyBsDays();
    void editSendsStatement11ForTheSelectedCourseOnly();
    void editReadsTheSampleFormAndWritesTheLongForm();
    void editStoresEqualTimesAfterSnapping();
    void editStoresEmptyNotesAndQuotesAsTyped();
    void editRefusesWithoutSelectionOrDays_data();
    void editRefusesWithoutSelectionOrDays();
    void editSurvivesStoredValuesTheProgramNeverWrites_data();
    void editSurvivesStoredValuesTheProgramNeverWrites();
    void editThatCannotBeStoredIsReportedAt188AndStays_data();
    void editThatCannotBeStoredIsReportedAt188AndStays();
    void listFailureIsReportedAt108OfLoad_data();
    void listFailureIsReportedAt108OfLoad();
    void closingReleasesCourseIds_data();
    void closingReleasesCourseIds();

    void preselectionPrefersTheSelectedSchedule_data();
    void preselectionPrefersTheSelectedSchedule();
    void editOfThePreselectedCourseChangesTheSelectedSchedulesRow();

    void deleteWithoutSelectionAsksForOne();
    void deleteAsksAndNoKeepsEverything();
    void deleteYesSendsStatement12AndCloses();
    void deleteAsksWithTheNameAsStored();
    void deleteOfThePreselectedCourseRemovesTheSelectedSchedulesRow();
    void deleteRejectedIsReportedAt108AndCloses();

    void pickersStoreTheTimeAsTypedOrPasted_data();
    void pickersStoreTheTimeAsTypedOrPasted();

private:
    QString db() const { return m_folder->databasePath(); }
    void seed();
    std::unique_ptr<QDialog> make(int form, std::optional<ScheduleId> selectedSchedule = std::nullopt);
    std::unique_ptr<Form2> makeForm2();
    std::unique_ptr<Form3> makeForm3(std::optional<ScheduleId> selectedSchedule = std::nullopt);
    std::unique_ptr<Form4> makeForm4(std::optional<ScheduleId> selectedSchedule = std::nullopt);
    QList<QStringList> courses() const
    {
        return querySql(db(), QStringLiteral("select id, ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo "
                                             "from tblCourse order by id"));
    }

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Connection> m_db;
    std::unique_ptr<Repository> m_repository;
};

void CourseDialogsTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term A')");
    execSql(db(), "insert into tblSchedules (id, Description) values (2, 'Term B')");
    m_db = std::make_unique<Connection>();
    m_db->open(db());
    m_repository = std::make_unique<Repository>(*m_db);
}

void CourseDialogsTest::cleanup()
{
    m_repository.reset();
    m_db.reset();
    m_prompts.reset();
    m_folder.reset();
}

// Five courses over two schedules; Biology in both.
void CourseDialogsTest::seed()
{
    const char* rows[] = {
        "(1,1,'Biology','cells','0,2','8:00:00 AM','9:00:00 AM')",
        "(2,1,'Physics','lab coat','1','10:00:00 AM','11:30:00 AM')",
        "(3,2,'Biology','field trip','3,4','1:00:00 PM','2:00:00 PM')",
        "(4,2,'Art','','6','07:00','08:30')",
        "(5,2,'O''Brien''s Seminar','','5','19:00','20:00')",
    };
    for (const char* values : rows)
        execSql(db(), QStringLiteral("insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                     "values ") +
                          QLatin1String(values));
}

std::unique_ptr<Form2> CourseDialogsTest::makeForm2()
{
    return std::make_unique<Form2>(*m_repository, *m_prompts, m_folder->path());
}

std::unique_ptr<Form3> CourseDialogsTest::makeForm3(std::optional<ScheduleId> selectedSchedule)
{
    return std::make_unique<Form3>(*m_repository, *m_prompts, m_folder->path(), selectedSchedule);
}

std::unique_ptr<Form4> CourseDialogsTest::makeForm4(std::optional<ScheduleId> selectedSchedule)
{
    return std::make_unique<Form4>(*m_repository, *m_prompts, m_folder->path(), selectedSchedule);
}

std::unique_ptr<QDialog> CourseDialogsTest::make(int form, std::optional<ScheduleId> selectedSchedule)
{
    switch (form) {
    case 2:
        return makeForm2();
    case 3:
        return makeForm3(selectedSchedule);
    default:
        return makeForm4(selectedSchedule);
    }
}

// --- layout -----------------------------------------------------------------

void CourseDialogsTest::windowsAreFixedDialogs_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("Add Course") << 2 << "Form2"
                                << "Add Course" << 6705 << 4830;
    QTest::newRow("Edit Course") << 3 << "Form3"
                                 << "Edit Course" << 6585 << 4710;
    QTest::newRow("Delete Course") << 4 << "Form4"
                                   << "Delete Course" << 8040 << 1560;
}

void CourseDialogsTest::windowsAreFixedDialogs()
{
    QFETCH(int, form);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(int, height);
    const auto dialog = make(form);
    QCOMPARE(dialog->objectName(), name);
    QCOMPARE(dialog->windowTitle(), title);
    QCOMPARE(dialog->size(), QSize(pixelsFromTwips(width), pixelsFromTwips(height)));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    const Qt::WindowFlags flags = dialog->windowFlags();
    QCOMPARE(dialog->windowType(), Qt::Dialog);
    // Without the customize hint the window system adds its default buttons.
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!dialog->parentWidget());
    QCOMPARE(dialog->font().family(), QStringLiteral("Arial"));
    QCOMPARE(dialog->font().pointSizeF(), 9.0);
    QVERIFY(dialog->font().bold());
    QVERIFY(!dialog->windowIcon().isNull());
    dialog->show();
    const QPoint centre = dialog->screen()->availableGeometry().center();
    QVERIFY2((dialog->frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2")
                            .arg(dialog->frameGeometry().center().x())
                            .arg(dialog->frameGeometry().center().y())));
    for (const char* button : {"PushButton1", "PushButton2"}) {
        auto* pushButton = dialog->findChild<QPushButton*>(QLatin1String(button));
        QVERIFY(pushButton);
        QCOMPARE(pushButton->font().family(), QStringLiteral("Arial"));
        QCOMPARE(pushButton->font().pointSizeF(), 11.25);
        QVERIFY(pushButton->font().bold());
        QVERIFY(!pushButton->autoDefault());
        QVERIFY(!pushButton->isDefault());
    }
}

void CourseDialogsTest::controlsArePlacedAndCaptioned_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place"); // twips
    QTest::addColumn<QString>("caption");

    const auto row = [](int form, const char* control, const char* parent, QRect place, const char* caption) {
        QTest::addRow("Form%d %s", form, control) << form << QString::fromLatin1(control) << QString::fromLatin1(parent)
                                                  << place << QString::fromLatin1(caption);
    };
    row(2, "Label1_0", "Form2", {240, 315, 1200, 225}, "Course Name:");
    row(2, "Text1", "Form2", {1560, 240, 5040, 375}, "");
    row(2, "Label1_3", "Form2", {240, 840, 1200, 225}, "Course Notes:");
    row(2, "Text2", "Form2", {1560, 840, 5040, 1335}, "");
    row(2, "Frame1", "Form2", {120, 2400, 6480, 855}, "Days");
    row(2, "Frame2", "Form2", {120, 3360, 6480, 855}, "Time Range");
    row(2, "Label1_1", "Frame2", {240, 360, 945, 225}, "Time From:");
    row(2, "dtpFrom", "Frame2", {1320, 285, 1215, 375}, "");
    row(2, "Label1_2", "Frame2", {3240, 360, 720, 225}, "Time To:");
    row(2, "dtpTo", "Frame2", {4080, 285, 1215, 375}, "");
    row(2, "PushButton1", "Form2", {120, 4320, 3240, 405}, "Save");
    row(2, "PushButton2", "Form2", {3480, 4320, 3120, 405}, "Cancel");
    const char* days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const int lefts[] = {240, 1080, 1920, 2880, 3840, 4680, 5520};
    for (int i = 0; i < 7; ++i) {
        const QByteArray name = QByteArray("Check1_") + QByteArray::number(i);
        row(2, name.constData(), "Frame1", {lefts[i], 360, 735, 255}, days[i]);
        row(3, name.constData(), "Frame1", {lefts[i], 360, 735, 255}, days[i]);
    }
    row(3, "Label1_0", "Form3", {120, 240, 1290, 225}, "Select Course: ");
    row(3, "Combo1", "Form3", {1440, 180, 5040, 345}, "");
    row(3, "Label1_3", "Form3", {120, 720, 1200, 225}, "Course Notes:");
    row(3, "Text2", "Form3", {1440, 720, 5040, 1335}, "");
    row(3, "Frame1", "Form3", {120, 2280, 6360, 855}, "Days");
    row(3, "Frame2", "Form3", {120, 3240, 6360, 855}, "Time Range");
    row(3, "Label1_1", "Frame2", {240, 360, 945, 225}, "Time From:");
    row(3, "dtpFrom", "Frame2", {1320, 285, 1215, 375}, "");
    row(3, "Label1_2", "Frame2", {3240, 360, 720, 225}, "Time To:");
    row(3, "dtpTo", "Frame2", {4080, 285, 1215, 375}, "");
    row(3, "PushButton1", "Form3", {120, 4200, 3120, 405}, "Update");
    row(3, "PushButton2", "Form3", {3360, 4200, 3120, 405}, "Cancel");
    row(4, "Frame1", "Form4", {120, 120, 7800, 825}, "Select Course");
    row(4, "Combo1", "Frame1", {240, 315, 7320, 345}, "");
    row(4, "PushButton1", "Form4", {120, 1050, 3840, 405}, "Delete");
    row(4, "PushButton2", "Form4", {4080, 1050, 3840, 405}, "Cancel");
}

void CourseDialogsTest::controlsArePlacedAndCaptioned()
{
    QFETCH(int, form);
    QFETCH(QString, control);
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    QFETCH(QString, caption);
    const auto dialog = make(form);
    auto* widget = dialog->findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control));
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), QRect(pixelsFromTwips(place.x()), pixelsFromTwips(place.y()),
                                       pixelsFromTwips(place.width()), pixelsFromTwips(place.height())));
    QCOMPARE(::caption(widget), caption);
    if (control.contains(QLatin1Char('_')))
        QCOMPARE(widget->property("index").toInt(), control.section(QLatin1Char('_'), 1).toInt());
    if (auto* picker = qobject_cast<TimePicker*>(widget))
        QCOMPARE(picker->displayFormat(), QStringLiteral("hh:mm AP"));
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        QVERIFY(!combo->isEditable());
    if (auto* text = qobject_cast<QLineEdit*>(widget)) {
        QVERIFY(text->text().isEmpty());
        QVERIFY(text->maxLength() >= 1000000);
    }
    dialog->show();
    QVERIFY(widget->isVisible());
}

void CourseDialogsTest::focusMovesInTheGivenOrder_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Add Course") << 2 << QStringList{"Text1",    "Text2",       "Check1_0",   "Check1_1", "Check1_2",
                                                    "Check1_3", "Check1_4",    "Check1_5",   "Check1_6", "dtpFrom",
                                                    "dtpTo",    "PushButton1", "PushButton2"};
    QTest::newRow("Edit Course") << 3 << QStringList{"Combo1",   "Text2",       "dtpFrom",    "dtpTo",    "Check1_6",
                                                     "Check1_5", "Check1_4",    "Check1_3",   "Check1_2", "Check1_1",
                                                     "Check1_0", "PushButton1", "PushButton2"};
    QTest::newRow("Delete Course") << 4 << QStringList{"Combo1", "PushButton1", "PushButton2"};
}

void CourseDialogsTest::focusMovesInTheGivenOrder()
{
    QFETCH(int, form);
    QFETCH(QStringList, order);
    const auto dialog = make(form);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QStringList seen;
    for (int i = 0; i < order.size(); ++i) {
        seen << focusName(*dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(seen, order);
    QCOMPARE(focusName(*dialog), order.first());
}

void CourseDialogsTest::returnPressesTheFocusedButtonOnly_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Add Course") << 2;
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

void CourseDialogsTest::returnPressesTheFocusedButtonOnly()
{
    QFETCH(int, form);
    const auto dialog = make(form);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    // Return in the first field presses nothing; on a button it presses it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(m_prompts->shown.isEmpty());
    QVERIFY(dialog->isVisible());
    auto* first = dialog->findChild<QPushButton*>("PushButton1");
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Enter);
    QTRY_COMPARE(m_prompts->messages().size(), 1); // nothing filled in or selected: the dialog's first check
    QVERIFY(dialog->isVisible());
    auto* cancel = dialog->findChild<QPushButton*>("PushButton2");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QTRY_VERIFY(!dialog->isVisible());
    QVERIFY(courses().isEmpty());
}

void CourseDialogsTest::ctrlReturnPressesTheDialogsButtonFromAnyField_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("field");
    QTest::newRow("Add Course, name") << 2 << "Text1";
    QTest::newRow("Add Course, Thursday") << 2 << "Check1_3";
    QTest::newRow("Add Course, end time") << 2 << "dtpTo";
    QTest::newRow("Edit Course, list") << 3 << "Combo1";
    QTest::newRow("Edit Course, notes") << 3 << "Text2";
    QTest::newRow("Delete Course, list") << 4 << "Combo1";
}

void CourseDialogsTest::ctrlReturnPressesTheDialogsButtonFromAnyField()
{
    QFETCH(int, form);
    QFETCH(QString, field);
    const auto dialog = make(form);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    auto* focused = dialog->findChild<QWidget*>(field);
    QVERIFY(focused);
    focused->setFocus();
    QSignalSpy pressed(dialog->findChild<QPushButton*>("PushButton1"), &QPushButton::clicked);
    QTest::keyClick(focused, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(pressed.count(), 1);
    QTest::keyClick(focused, Qt::Key_Enter, Qt::ControlModifier);
    QCOMPARE(pressed.count(), 2);
    // Nothing filled in or selected: the dialog's first check, each time.
    QCOMPARE(m_prompts->messages().size(), 2);
    QVERIFY(dialog->isVisible());
}

void CourseDialogsTest::pickersSelectTheSectionToTypeInto()
{
    const auto form = makeForm2();
    form->dtpFrom()->setValue(QTime(8, 0));
    form->dtpTo()->setValue(QTime(23, 0));
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    // A click on the minutes selects them: the digits typed replace them.
    auto* edit = form->dtpFrom()->findChild<QLineEdit*>();
    const int minutesAt = edit->fontMetrics().horizontalAdvance(QStringLiteral("08:3"));
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->contentsRect().left() + minutesAt, edit->height() / 2));
    QTest::keyClicks(edit, "45");
    QCOMPARE(form->dtpFrom()->value(), QTime(8, 45));
    // A check that puts the focus on a picker selects its first section.
    form->Text1()->setText("Physics");
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messageTexts(), QStringList{messages::kBadTimeTo});
    QCOMPARE(QApplication::focusWidget(), form->dtpTo());
    QCOMPARE(form->dtpTo()->currentSection(), QDateTimeEdit::HourSection);
    QCOMPARE(form->dtpTo()->findChild<QLineEdit*>()->selectedText(), QStringLiteral("11"));
}

void CourseDialogsTest::loadGivesLabelsFramesAndBoxesTheFaceColour_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Add Course") << 2;
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

void CourseDialogsTest::loadGivesLabelsFramesAndBoxesTheFaceColour()
{
    QFETCH(int, form);
    const auto dialog = make(form);
    const QColor face = QApplication::palette().color(QPalette::Button);
    QVERIFY(face != QColor(Qt::white));
    QCOMPARE(dialog->palette().color(QPalette::Window), face);
    int painted = 0;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w) || qobject_cast<QCheckBox*>(w)) {
            QCOMPARE(w->palette().color(QPalette::Window), face);
            QVERIFY(w->autoFillBackground());
            ++painted;
        } else if (qobject_cast<QLineEdit*>(w) && !w->objectName().startsWith(QLatin1String("qt_"))) {
            QVERIFY(!w->autoFillBackground());
        }
    }
    QCOMPARE(painted, form == 2 ? 4 + 2 + 7 : form == 3 ? 4 + 2 + 7 : 1);
}

void CourseDialogsTest::loadTakesTheHandCursorFromTheProgramFolder_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("file"); // "picture", "garbage" or "none"
    for (int form = 2; form <= 4; ++form) {
        QTest::addRow("Form%d picture", form) << form << "picture";
        QTest::addRow("Form%d garbage", form) << form << "garbage";
        QTest::addRow("Form%d none", form) << form << "none";
    }
}

void CourseDialogsTest::loadTakesTheHandCursorFromTheProgramFolder()
{
    QFETCH(int, form);
    QFETCH(QString, file);
    const QString path = m_folder->file(QStringLiteral("HAND-M.CUR"));
    if (file == QLatin1String("picture")) {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::black);
        QVERIFY(picture.save(path, "PNG"));
    } else if (file == QLatin1String("garbage")) {
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("not a picture");
    }
    const auto dialog = make(form);
    auto* pointer = dialog->findChild<PointerConvention*>();
    QVERIFY(pointer);
    QCOMPARE(pointer->hasMouseIcon(), file == QLatin1String("picture"));
    if (file == QLatin1String("garbage")) {
        QCOMPARE(m_prompts->errors().size(), 1);
        QVERIFY(m_prompts->errors().first().text.endsWith(errorBoxTail(dialog->objectName(), "Form_Load", 102)));
    } else {
        QVERIFY(m_prompts->shown.isEmpty());
    }
    // The rest of the load still ran.
    QCOMPARE(dialog->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
}

void CourseDialogsTest::pointerShowsTheHandOverButtonsOnly_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Add Course") << 2;
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

void CourseDialogsTest::pointerShowsTheHandOverButtonsOnly()
{
    QFETCH(int, form);
    const auto dialog = make(form);
    dialog->show();
    auto* pointer = dialog->findChild<PointerConvention*>();
    QVERIFY(pointer);
    const auto moveOver = [](const char* name, QWidget* widget) {
        QVERIFY2(widget, name);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    moveOver("PushButton1", dialog->findChild<QWidget*>(QStringLiteral("PushButton1")));
    QCOMPARE(pointer->state(), 99);
    moveOver("Frame1", dialog->findChild<QWidget*>(QStringLiteral("Frame1")));
    QCOMPARE(pointer->state(), 0);
    moveOver("PushButton2", dialog->findChild<QWidget*>(QStringLiteral("PushButton2")));
    QCOMPARE(pointer->state(), 99);
    moveOver("window", dialog.get());
    QCOMPARE(pointer->state(), 0);
    pointer->set(11);
    moveOver("PushButton1", dialog->findChild<QWidget*>(QStringLiteral("PushButton1")));
    QCOMPARE(pointer->state(), 11);
}

void CourseDialogsTest::shownModallyUntilTheDialogCloses_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Add Course") << 2;
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

void CourseDialogsTest::shownModallyUntilTheDialogCloses()
{
    QFETCH(int, form);
    seed();
    const auto dialog = make(form);
    QtPrompts prompts;
    bool modal = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        modal = dialog->isVisible() && QApplication::activeModalWidget() == dialog.get();
        dialog->findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    });
    prompts.showModal(*dialog);
    QVERIFY(modal);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(courses().size(), 5);
}

// --- Add Course ---------------------------------------------------------------

void CourseDialogsTest::addStartsEmpty()
{
    const auto form = makeForm2();
    QVERIFY(form->Text1()->text().isEmpty());
    QVERIFY(form->Text2()->text().isEmpty());
    QCOMPARE(form->m_ScheduleID, ScheduleId());
    for (int i = 0; i < 7; ++i)
        QVERIFY(!form->Check1(i)->isChecked());
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(focusName(*form), QStringLiteral("Text1"));
}

void CourseDialogsTest::addSendsStatement10AndCloses()
{
    seed();
    const auto form = makeForm2();
    StatementLog log(*m_db);
    if (!log.available())
        QSKIP("the engine offers no statement tracing");
    form->m_ScheduleID = ScheduleId(2);
    form->dtpFrom()->setValue(QTime(9, 46));
    form->dtpTo()->setValue(QTime(10, 10));
    form->Text1()->setText(QStringLiteral("O'Brien"));
    form->Text2()->setText(QStringLiteral("it's"));
    for (int day : {4, 0, 3})
        form->Check1(day)->setChecked(true);
    form->show();
    form->PushButton1()->click();

    // On the grid's half hours, and as typed.
    QCOMPARE(log.writes(),
             QStringList({"insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                          "(2,'O''Brien','it''s','0,3,4','9:30:00 AM','10:00:00 AM')",
                          "update tblCourse set ExactFrom='9:46:00 AM',ExactTo='10:10:00 AM' where id=6"}));
    QVERIFY(m_prompts->shown.isEmpty());
    QVERIFY(!form->isVisible());
    QCOMPARE(courses().size(), 6);
    QCOMPARE(courses().last().mid(1), (QStringList{"2", "O'Brien", "it's", "0,3,4", "9:30:00 AM", "10:00:00 AM"}));
}

void CourseDialogsTest::addStoresTextsExactlyAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("notes");
    QTest::newRow("blanks around the name") << "  Physics  "
                                            << " notes ";
    QTest::newRow("empty notes") << "Physics"
                                 << "";
    QTest::newRow("quotes") << "O'Brien's 'Lab'"
                            << "''";
    QTest::newRow("statement text") << "x'); delete from tblCourse; --"
                                    << "'; drop table tblSchedules; --";
    QTest::newRow("line breaks") << "Line\nbreak"
                                 << "first\r\nsecond\rthird";
    QTest::newRow("non-Latin letters") << QString::fromUtf8("Физика 物理 Ελληνικά") << QString::fromUtf8("ʻŌlelo 😀");
    QTest::newRow("tab only name") << "\t"
                                   << "x";
    QTest::newRow("very long texts") << QString(5000, QLatin1Char('n')) << QString(100000, QLatin1Char('o'));
}

void CourseDialogsTest::addStoresTextsExactlyAsTyped()
{
    QFETCH(QString, name);
    QFETCH(QString, notes);
    seed();
    const QList<QStringList> before = courses();
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(1);
    form->dtpFrom()->setValue(QTime(8, 0));
    form->dtpTo()->setValue(QTime(9, 0));
    form->Text1()->setText(name);
    form->Text2()->setText(notes);
    form->Check1(6)->setChecked(true);
    form->show();
    form->PushButton1()->click();

    QVERIFY(m_prompts->shown.isEmpty());
    const QList<QStringList> after = courses();
    QCOMPARE(after.size(), before.size() + 1);
    QCOMPARE(after.mid(0, before.size()), before);
    QCOMPARE(after.last().mid(1), (QStringList{"1", name, notes, "6", "8:00:00 AM", "9:00:00 AM"}));
    QCOMPARE(querySql(db(), "select id, Description from tblSchedules order by id"),
             (QList<QStringList>{{"1", "Term A"}, {"2", "Term B"}}));
}

void CourseDialogsTest::addRefusesInOrderAndWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QTime>("from");
    QTest::addColumn<QTime>("to");
    QTest::addColumn<bool>("anyDay");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("empty name") << "" << QTime(8, 0) << QTime(9, 0) << true << "You forgot to input course name."
                                << "Text1";
    QTest::newRow("blanks only, bad times, no day")
        << "   " << QTime(5, 0) << QTime(23, 0) << false << "You forgot to input course name."
        << "Text1";
    QTest::newRow("start too early") << "Physics" << QTime(5, 59) << QTime(9, 0) << true
                                     << "Invalid time from range inputted."
                                     << "dtpFrom";
    QTest::newRow("end too late, no day")
        << "Physics" << QTime(8, 0) << QTime(21, 31) << false << "Invalid time to range inputted."
        << "dtpTo";
    QTest::newRow("start after end") << "Physics" << QTime(8, 50) << QTime(8, 40) << true
                                     << "Invalid time range inputted."
                                     << "dtpFrom";
    QTest::newRow("no day") << "Physics" << QTime(8, 0) << QTime(9, 0) << false << "You forgot to select/check day."
                            << "Check1_0";
}

void CourseDialogsTest::addRefusesInOrderAndWritesNothing()
{
    QFETCH(QString, name);
    QFETCH(QTime, from);
    QFETCH(QTime, to);
    QFETCH(bool, anyDay);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(1);
    form->dtpFrom()->setValue(from);
    form->dtpTo()->setValue(to);
    form->Text1()->setText(name);
    form->Check1(2)->setChecked(anyDay);
    form->show();
    form->PushButton2()->setFocus();
    form->PushButton1()->click();

    QCOMPARE(m_prompts->messages().size(), 1);
    const MessageBoxRequest box = m_prompts->messages().first();
    QCOMPARE(box.text, message);
    QCOMPARE(box.title, QStringLiteral("Quorvane"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::None);
    QCOMPARE(focusName(*form), focus);
    QVERIFY(form->isVisible());
    QVERIFY(courses().isEmpty());
    QCOMPARE(form->Text1()->text(), name);
}

void CourseDialogsTest::addWithoutDayShowsTheSnappedTimes()
{
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(1);
    form->Text1()->setText(QStringLiteral("Physics"));
    form->dtpFrom()->setValue(QTime(9, 46));
    form->dtpTo()->setValue(QTime(10, 15));
    form->show();
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messageTexts(), QStringList{"You forgot to select/check day."});
    QCOMPARE(form->dtpFrom()->value(), QTime(9, 30));
    QCOMPARE(form->dtpTo()->value(), QTime(10, 0));
    QCOMPARE(form->dtpFrom()->text(), QStringLiteral("09:30 AM"));

    // Ticking a day afterwards saves the times as they now show.
    m_prompts->clear();
    form->Check1(1)->setChecked(true);
    form->PushButton1()->click();
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses().size(), 1);
    QCOMPARE(courses().first().mid(4), (QStringList{"1", "9:30:00 AM", "10:00:00 AM"}));
}

void CourseDialogsTest::addStoresEqualTimesAfterSnapping()
{
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(1);
    form->Text1()->setText(QStringLiteral("Short"));
    form->dtpFrom()->setValue(QTime(8, 40));
    form->dtpTo()->setValue(QTime(8, 50));
    form->Check1(0)->setChecked(true);
    form->show();
    form->PushButton1()->click();
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses().size(), 1);
    QCOMPARE(courses().first().mid(5), (QStringList{"8:30:00 AM", "8:30:00 AM"}));
}

void CourseDialogsTest::addThatCannotBeStoredIsReportedAt188AndStaysAsTyped_data()
{
    QTest::addColumn<QString>("scheduleId");
    QTest::addColumn<QString>("failure");
    QTest::newRow("insert refused") << "1"
                                    << "insert refused";
    // Another copy of the program deleted the schedule meanwhile.
    QTest::newRow("schedule gone") << "99"
                                   << "The schedule is no longer in the database.";
}

void CourseDialogsTest::addThatCannotBeStoredIsReportedAt188AndStaysAsTyped()
{
    QFETCH(QString, scheduleId);
    QFETCH(QString, failure);
    refuse(db(), "insert", "insert refused");
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(scheduleId.toLongLong());
    if (scheduleId != "1")
        execSql(db(), "drop trigger refuse_insert");
    form->Text1()->setText(QStringLiteral("Physics"));
    form->dtpFrom()->setValue(QTime(8, 0));
    form->dtpTo()->setValue(QTime(9, 0));
    form->Check1(0)->setChecked(true);
    form->show();
    form->PushButton1()->click();

    QCOMPARE(m_prompts->messages().size(), 1);
    const MessageBoxRequest box = m_prompts->errors().value(0);
    QCOMPARE(box.text, failure + errorBoxTail("Form2", "PushButton1_Click", 188));
    QCOMPARE(box.icon, Icon::Warning);
    QVERIFY(courses().isEmpty());
    // What was typed is still there, to be saved again or cancelled.
    QVERIFY(form->isVisible());
    QCOMPARE(form->Text1()->text(), QStringLiteral("Physics"));
    QVERIFY(form->Check1(0)->isChecked());
    QCOMPARE(form->dtpTo()->value(), QTime(9, 0));
}

void CourseDialogsTest::cancelAndCloseBoxWriteNothing_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("how");
    for (int form = 2; form <= 4; ++form) {
        for (const char* how : {"Cancel", "close box", "Escape"})
            QTest::addRow("Form%d %s", form, how) << form << QString::fromLatin1(how);
    }
}

void CourseDialogsTest::cancelAndCloseBoxWriteNothing()
{
    QFETCH(int, form);
    QFETCH(QString, how);
    seed();
    const QList<QStringList> before = courses();
    const auto dialog = make(form, ScheduleId(1));
    if (auto* add = qobject_cast<Form2*>(dialog.get())) {
        add->m_ScheduleID = ScheduleId(1);
        add->Text1()->setText(QStringLiteral("Physics"));
        add->dtpFrom()->setValue(QTime(8, 0));
        add->dtpTo()->setValue(QTime(9, 0));
        add->Check1(0)->setChecked(true);
    } else if (auto* edit = qobject_cast<Form3*>(dialog.get())) {
        edit->setCombo1Text(QStringLiteral("Physics"));
        edit->Text2()->setText(QStringLiteral("changed"));
    } else {
        static_cast<Form4*>(dialog.get())->setCombo1Text(QStringLiteral("Physics"));
        m_prompts->answer(Answer::Yes);
    }
    dialog->show();
    if (how == QLatin1String("Cancel"))
        dialog->findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    else if (how == QLatin1String("close box"))
        dialog->close();
    else
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses(), before);
}

// --- Edit Course ----------------------------------------------------------------

void CourseDialogsTest::editListsEveryCourseInDatabaseOrder()
{
    seed();
    // Database order, not name order and not id order.
    execSql(db(), "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (0,2,'Zoology','',NULL,NULL,NULL)");
    execSql(db(), "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (9,1,NULL,'','1','08:00','09:00')");
    QStringList names;
    QStringList ids;
    for (const QStringList& row : querySql(db(), "select id, CourseName from tblCourse")) {
        ids << row[0];
        names << (row[1] == QLatin1String("<NULL>") ? QString() : row[1]);
    }
    for (const auto& dialog : std::initializer_list<std::shared_ptr<CourseListDialog>>{makeForm3(), makeForm4()}) {
        QStringList listed;
        QStringList listedIds;
        for (int i = 0; i < dialog->Combo1()->count(); ++i) {
            listed << dialog->Combo1()->itemText(i);
            listedIds << QString::number(dialog->courseList().courseId(i).value);
        }
        QCOMPARE(listed, names);
        QCOMPARE(listedIds, ids);
        QCOMPARE(dialog->courseList().count(), names.size());
        QCOMPARE(dialog->Combo1()->currentIndex(), -1);
        QCOMPARE(dialog->pointer().state(), 0);
    }
    QVERIFY(m_prompts->shown.isEmpty());
    const auto edit = makeForm3();
    QVERIFY(edit->Text2()->text().isEmpty());
    for (int i = 0; i < 7; ++i)
        QVERIFY(!edit->Check1(i)->isChecked());
}

void CourseDialogsTest::editSelectingACourseLoadsIt()
{
    seed();
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(2); // Biology of Term B
    QCOMPARE(form->Text2()->text(), QStringLiteral("field trip"));
    QCOMPARE(form->dtpFrom()->value(), QTime(13, 0));
    QCOMPARE(form->dtpTo()->value(), QTime(14, 0));
    QList<int> ticked;
    for (int i = 0; i < 7; ++i)
        if (form->Check1(i)->isChecked())
            ticked << i;
    QCOMPARE(ticked, (QList<int>{3, 4}));
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseDialogsTest::editSelectingAThenBLeavesOnlyBsDays()
{
    seed();
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(0); // Monday, Wednesday
    QVERIFY(form->Check1(0)->isChecked());
    QVERIFY(form->Check1(2)->isChecked());
    form->Check1(5)->setChecked(true); // an edit that the next selection drops
    form->Text2()->setText(QStringLiteral("typed"));
    form->Combo1()->setCurrentIndex(1); // Tuesday
    QList<int> ticked;
    for (int i = 0; i < 7; ++i)
        if (form->Check1(i)->isChecked())
            ticked << i;
    QCOMPARE(ticked, QList<int>{1});
    QCOMPARE(form->Text2()->text(), QStringLiteral("lab coat"));
    QCOMPARE(form->dtpTo()->value(), QTime(11, 30));
}

void CourseDialogsTest::editSendsStatement11ForTheSelectedCourseOnly()
{
    seed();
    QList<QStringList> expected = courses();
    const auto form = makeForm3();
    StatementLog log(*m_db);
    if (!log.available())
        QSKIP("the engine offers no statement tracing");
    form->show();
    form->Combo1()->setCurrentIndex(2);
    form->Text2()->setText(QStringLiteral("it's"));
    form->Check1(3)->setChecked(false);
    form->Check1(4)->setChecked(false);
    form->Check1(6)->setChecked(true);
    form->Check1(1)->setChecked(true);
    form->dtpFrom()->setValue(QTime(9, 10));
    form->dtpTo()->setValue(QTime(9, 59));
    log.clear();
    form->PushButton1()->click();

    QCOMPARE(log.writes(),
             QStringList({"update tblCourse set Notes='it''s',Days='1,6',TimeFrom='9:00:00 AM',"
                          "TimeTo='9:30:00 AM' where id=3",
                          "update tblCourse set ExactFrom='9:10:00 AM',ExactTo='9:59:00 AM' where id=3"}));
    QVERIFY(m_prompts->shown.isEmpty());
    QVERIFY(!form->isVisible());
    expected[2] = QStringList{"3", "2", "Biology", "it's", "1,6", "9:00:00 AM", "9:30:00 AM"};
    QCOMPARE(courses(), expected);
    // Opened again, the course shows the times as typed.
    const auto again = makeForm3();
    again->Combo1()->setCurrentIndex(2);
    QCOMPARE(again->dtpFrom()->value(), QTime(9, 10));
    QCOMPARE(again->dtpTo()->value(), QTime(9, 59));
}

void CourseDialogsTest::editReadsTheSampleFormAndWritesTheLongForm()
{
    seed();
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(3); // Art: "07:00" to "08:30"
    QCOMPARE(form->dtpFrom()->text(), QStringLiteral("07:00 AM"));
    QCOMPARE(form->dtpTo()->text(), QStringLiteral("08:30 AM"));
    form->PushButton1()->click();
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses()[3], (QStringList{"4", "2", "Art", "", "6", "7:00:00 AM", "8:30:00 AM"}));
}

void CourseDialogsTest::editStoresEqualTimesAfterSnapping()
{
    seed();
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(1);
    form->dtpFrom()->setValue(QTime(8, 40));
    form->dtpTo()->setValue(QTime(8, 50));
    form->PushButton1()->click();
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses()[1].mid(5), (QStringList{"8:30:00 AM", "8:30:00 AM"}));
}

void CourseDialogsTest::editStoresEmptyNotesAndQuotesAsTyped()
{
    seed();
    for (const QString& notes : {QString(), QStringLiteral("Bring 'safety' glasses\nand a coat")}) {
        const auto form = makeForm3();
        form->show();
        form->Combo1()->setCurrentIndex(0);
        form->Text2()->setText(notes);
        form->PushButton1()->click();
        QCOMPARE(courses()[0][3], notes);
        QCOMPARE(courses()[0][2], QStringLiteral("Biology"));
    }
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseDialogsTest::editRefusesWithoutSelectionOrDays_data()
{
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("untickAll");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("nothing selected") << -1 << false << "You forgot to select course."
                                      << "Combo1";
    QTest::newRow("every day unticked") << 0 << true << "You forgot to select/check day."
                                        << "Check1_0";
}

void CourseDialogsTest::editRefusesWithoutSelectionOrDays()
{
    QFETCH(int, select);
    QFETCH(bool, untickAll);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    seed();
    const QList<QStringList> before = courses();
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(select);
    if (untickAll)
        for (int i = 0; i < 7; ++i)
            form->Check1(i)->setChecked(false);
    form->PushButton2()->setFocus();
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messageTexts(), QStringList{message});
    QCOMPARE(m_prompts->messages().first().title, QStringLiteral("Quorvane"));
    QCOMPARE(focusName(*form), focus);
    QVERIFY(form->isVisible());
    QCOMPARE(courses(), before);
}

void CourseDialogsTest::editSurvivesStoredValuesTheProgramNeverWrites_data()
{
    QTest::addColumn<QString>("timeFrom"); // SQL literal
    QTest::addColumn<QString>("timeTo");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QTime>("shownFrom");
    QTest::addColumn<QTime>("shownTo");
    QTest::addColumn<QList<int>>("ticked");
    // The picker keeps what it showed (Physics: 10:00 to 11:30) for a time it cannot read.
    QTest::newRow("bare hour") << "'9'"
                               << "'10:00'"
                               << "'2'" << QTime(10, 0) << QTime(10, 0) << QList<int>{2};
    QTest::newRow("letter") << "'a'"
                            << "'b'"
                            << "'2'" << QTime(10, 0) << QTime(11, 30) << QList<int>{2};
    QTest::newRow("hour 25") << "'25:00'"
                             << "'13:00'"
                             << "'2'" << QTime(10, 0) << QTime(13, 0) << QList<int>{2};
    QTest::newRow("a date") << "'2021-08-31'"
                            << "'08/31/2021'"
                            << "'2'" << QTime(10, 0) << QTime(11, 30) << QList<int>{2};
    QTest::newRow("NULL everywhere") << "NULL"
                                     << "NULL"
                                     << "NULL" << QTime(10, 0) << QTime(11, 30) << QList<int>{};
    QTest::newRow("day pieces out of range") << "'08:00'"
                                             << "'09:00'"
                                             << "'0,x,9,-1,,3, 5'" << QTime(8, 0) << QTime(9, 0) << QList<int>{0, 3, 5};
    QTest::newRow("a number as time") << "0.5"
                                      << "12"
                                      << "'6'" << QTime(10, 0) << QTime(11, 30) << QList<int>{6};
}

void CourseDialogsTest::editSurvivesStoredValuesTheProgramNeverWrites()
{
    QFETCH(QString, timeFrom);
    QFETCH(QString, timeTo);
    QFETCH(QString, days);
    QFETCH(QTime, shownFrom);
    QFETCH(QTime, shownTo);
    QFETCH(QList<int>, ticked);
    seed();
    execSql(db(), QStringLiteral("insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                 "values (6,1,'Odd',NULL,%1,%2,%3)")
                      .arg(days, timeFrom, timeTo));
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(1); // Physics first
    form->setCombo1Text(QStringLiteral("Odd"));
    QCOMPARE(form->Combo1()->currentIndex(), 5);
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(form->Text2()->text(), QString());
    QCOMPARE(form->dtpFrom()->value(), shownFrom);
    QCOMPARE(form->dtpTo()->value(), shownTo);
    QList<int> seen;
    for (int i = 0; i < 7; ++i)
        if (form->Check1(i)->isChecked())
            seen << i;
    QCOMPARE(seen, ticked);
}

void CourseDialogsTest::editThatCannotBeStoredIsReportedAt188AndStays_data()
{
    QTest::addColumn<bool>("courseGone");
    QTest::addColumn<QString>("failure");
    QTest::newRow("update refused") << false << "update refused";
    QTest::newRow("course gone") << true << "The course is no longer in the database.";
}

void CourseDialogsTest::editThatCannotBeStoredIsReportedAt188AndStays()
{
    QFETCH(bool, courseGone);
    QFETCH(QString, failure);
    seed();
    if (!courseGone)
        refuse(db(), "update", "update refused");
    const auto form = makeForm3();
    form->show();
    form->Combo1()->setCurrentIndex(0);
    form->Text2()->setText(QStringLiteral("new notes"));
    // Another copy of the program deleted the course meanwhile.
    if (courseGone)
        execSql(db(), "delete from tblCourse where id=1");
    const QList<QStringList> before = courses();
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messages().size(), 1);
    QCOMPARE(m_prompts->errors().value(0).text, failure + errorBoxTail("Form3", "PushButton1_Click", 188));
    QVERIFY(form->isVisible());
    QCOMPARE(form->Text2()->text(), QStringLiteral("new notes"));
    QCOMPARE(courses(), before);
}

void CourseDialogsTest::listFailureIsReportedAt108OfLoad_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

void CourseDialogsTest::listFailureIsReportedAt108OfLoad()
{
    QFETCH(int, form);
    seed();
    m_db->close();
    const auto dialog = make(form);
    auto* list = static_cast<CourseListDialog*>(dialog.get());
    QCOMPARE(m_prompts->messages().size(), 1);
    QCOMPARE(m_prompts->errors().value(0).text, QStringLiteral("Operation is not allowed when the object is closed.") +
                                                    errorBoxTail(dialog->objectName(), "Form_Load", 108));
    QCOMPARE(list->Combo1()->count(), 0);
    QCOMPARE(list->pointer().state(), 0);
    // The dialog still opens and answers.
    dialog->show();
    list->PushButton1()->click();
    QCOMPARE(m_prompts->messages().size(), 2);
    QVERIFY(m_prompts->messageTexts().last().startsWith(QStringLiteral("You forgot to select course")));
}

void CourseDialogsTest::closingReleasesCourseIds_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("how");
    for (int form = 3; form <= 4; ++form)
        for (const char* how : {"done", "Cancel", "close box"})
            QTest::addRow("Form%d %s", form, how) << form << QString::fromLatin1(how);
}

void CourseDialogsTest::closingReleasesCourseIds()
{
    QFETCH(int, form);
    QFETCH(QString, how);
    seed();
    const auto dialog = make(form);
    auto* list = static_cast<CourseListDialog*>(dialog.get());
    QCOMPARE(list->courseList().count(), 5);
    dialog->show();
    if (how == QLatin1String("done")) {
        // Update or Delete after their statement.
        list->Combo1()->setCurrentIndex(1);
        m_prompts->answer(Answer::Yes);
        list->PushButton1()->click();
    } else if (how == QLatin1String("Cancel")) {
        list->PushButton2()->click();
    } else {
        dialog->close();
    }
    QVERIFY(!dialog->isVisible());
    QCOMPARE(list->courseList().count(), 0);
    QVERIFY(m_prompts->errors().isEmpty());
}

// --- preselection -------------------------------------------------------------

void CourseDialogsTest::preselectionPrefersTheSelectedSchedule_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("schedule");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    for (int form = 3; form <= 4; ++form) {
        QTest::addRow("Form%d Biology of the selected Term B", form) << form << "2"
                                                                     << "Biology" << 2;
        QTest::addRow("Form%d Biology of the selected Term A", form) << form << "1"
                                                                     << "Biology" << 0;
        QTest::addRow("Form%d no schedule: first in list order", form) << form << ""
                                                                       << "Biology" << 0;
        QTest::addRow("Form%d other schedule only: first in list order", form) << form << "1"
                                                                               << "Art" << 3;
        QTest::addRow("Form%d unknown schedule", form) << form << "42"
                                                       << "Biology" << 0;
        QTest::addRow("Form%d name with a quote", form) << form << "2"
                                                        << "O'Brien's Seminar" << 4;
        QTest::addRow("Form%d no such name", form) << form << "2"
                                                   << "Chemistry" << -1;
        QTest::addRow("Form%d case counts", form) << form << "2"
                                                  << "biology" << -1;
    }
}

void CourseDialogsTest::preselectionPrefersTheSelectedSchedule()
{
    QFETCH(int, form);
    QFETCH(QString, schedule);
    QFETCH(QString, name);
    QFETCH(int, index);
    seed();
    const auto dialog =
        make(form, schedule.isEmpty() ? std::nullopt : std::optional(ScheduleId(schedule.toLongLong())));
    auto* list = static_cast<CourseListDialog*>(dialog.get());
    list->setCombo1Text(name);
    QCOMPARE(list->Combo1()->currentIndex(), index);
    if (auto* edit = qobject_cast<Form3*>(dialog.get())) {
        const QStringList notes{"cells", "lab coat", "field trip", "", ""};
        QCOMPARE(edit->Text2()->text(), index < 0 ? QString() : notes[index]);
    }
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseDialogsTest::editOfThePreselectedCourseChangesTheSelectedSchedulesRow()
{
    seed();
    const auto form = makeForm3(ScheduleId(2));
    form->setCombo1Text(QStringLiteral("Biology"));
    form->show();
    form->Text2()->setText(QStringLiteral("B's field trip"));
    form->PushButton1()->click();
    QCOMPARE(courses()[0][3], QStringLiteral("cells"));
    QCOMPARE(courses()[2][3], QStringLiteral("B's field trip"));
}

// --- Delete Course ----------------------------------------------------------------

void CourseDialogsTest::deleteWithoutSelectionAsksForOne()
{
    for (const bool empty : {true, false}) {
        if (!empty)
            seed();
        m_prompts->clear();
        const auto form = makeForm4();
        QCOMPARE(form->Combo1()->count(), empty ? 0 : 5);
        form->show();
        form->PushButton2()->setFocus();
        form->PushButton1()->click();
        QCOMPARE(m_prompts->messageTexts(), QStringList{"You forgot to select course to delete."});
        const MessageBoxRequest box = m_prompts->messages().first();
        QCOMPARE(box.title, QStringLiteral("Quorvane"));
        QCOMPARE(box.buttons, Buttons::Ok);
        QCOMPARE(box.icon, Icon::None);
        QCOMPARE(focusName(*form), QStringLiteral("Combo1"));
        QVERIFY(form->isVisible());
        QCOMPARE(courses().size(), empty ? 0 : 5);
    }
}

void CourseDialogsTest::deleteAsksAndNoKeepsEverything()
{
    seed();
    const QList<QStringList> before = courses();
    const auto form = makeForm4();
    form->show();
    form->Combo1()->setCurrentIndex(1);
    m_prompts->answer(Answer::No);
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messages().size(), 1);
    const MessageBoxRequest question = m_prompts->messages().first();
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to delete [Physics] course?"));
    QCOMPARE(question.title, QStringLiteral("Delete Course"));
    QCOMPARE(question.buttons, Buttons::YesNo);
    QCOMPARE(question.icon, Icon::None);
    QCOMPARE(question.defaultButton, Answer::Yes);
    QVERIFY(form->isVisible());
    QCOMPARE(form->Combo1()->currentIndex(), 1);
    QCOMPARE(courses(), before);
}

void CourseDialogsTest::deleteYesSendsStatement12AndCloses()
{
    seed();
    QList<QStringList> expected = courses();
    const auto form = makeForm4();
    StatementLog log(*m_db);
    if (!log.available())
        QSKIP("the engine offers no statement tracing");
    form->show();
    form->Combo1()->setCurrentIndex(1);
    m_prompts->answer(Answer::Yes);
    form->PushButton1()->click();
    QCOMPARE(log.writes(), QStringList{"delete from tblCourse where id=2"});
    QVERIFY(!form->isVisible());
    expected.removeAt(1);
    QCOMPARE(courses(), expected);
}

void CourseDialogsTest::deleteAsksWithTheNameAsStored()
{
    seed();
    // Longer than the list shows: the question holds the whole name.
    const QString tail(300, QLatin1Char('x'));
    execSql(db(), "update tblCourse set CourseName=CourseName || '" + tail + "' where id=5");
    const auto form = makeForm4();
    QComboBox* list = form->findChild<QComboBox*>(QStringLiteral("Combo1"));
    QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    form->show();
    list->setCurrentIndex(4);
    m_prompts->answer(Answer::Yes);
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messageTexts(),
             QStringList{"Are you sure you want to delete [O'Brien's Seminar" + tail + "] course?"});
    QCOMPARE(courses().size(), 4);
    QCOMPARE(scalarSql(db(), "select count(*) from tblCourse where id=5"), QStringLiteral("0"));
}

void CourseDialogsTest::deleteOfThePreselectedCourseRemovesTheSelectedSchedulesRow()
{
    seed();
    const auto form = makeForm4(ScheduleId(2));
    form->setCombo1Text(QStringLiteral("Biology"));
    form->show();
    m_prompts->answer(Answer::Yes);
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Are you sure you want to delete [Biology] course?"});
    QCOMPARE(querySql(db(), "select id, ScheduleID from tblCourse where CourseName='Biology'"),
             QList<QStringList>{(QStringList{"1", "1"})});
}

void CourseDialogsTest::deleteRejectedIsReportedAt108AndCloses()
{
    seed();
    const QList<QStringList> before = courses();
    refuse(db(), "delete", "delete refused");
    const auto form = makeForm4();
    form->show();
    form->Combo1()->setCurrentIndex(0);
    m_prompts->answer(Answer::Yes);
    form->PushButton1()->click();
    QCOMPARE(m_prompts->messages().size(), 2);
    const QString text = m_prompts->errors().value(0).text;
    QVERIFY2(text.startsWith(QStringLiteral("delete refused")), qPrintable(text));
    QVERIFY2(text.endsWith(errorBoxTail("Form4", "PushButton1_Click", 108)), qPrintable(text));
    QVERIFY(!form->isVisible());
    QCOMPARE(courses(), before);
}

// --- typing into the pickers -------------------------------------------------

void CourseDialogsTest::pickersStoreTheTimeAsTypedOrPasted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("stored");
    QTest::newRow("07:00 P") << "07:00 P" << false << "7:00:00 PM";
    QTest::newRow("09:30 p") << "09:30 p" << false << "9:30:00 PM";
    QTest::newRow("3:30 PM") << "3:30 PM" << false << "3:30:00 PM";
    QTest::newRow("15:30") << "15:30" << false << "3:30:00 PM";
    QTest::newRow("pasted 07:00P") << "07:00P" << true << "7:00:00 PM";
}

void CourseDialogsTest::pickersStoreTheTimeAsTypedOrPasted()
{
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, stored);
    const auto form = makeForm2();
    form->m_ScheduleID = ScheduleId(1);
    form->Text1()->setText(QStringLiteral("Physics"));
    form->Check1(0)->setChecked(true);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    for (TimePicker* picker : {form->dtpFrom(), form->dtpTo()}) {
        // Seconds the typed time does not have: they must not stay.
        picker->setValue(QTime(8, 0, 42));
        auto* edit = picker->findChild<QLineEdit*>();
        const int hourAt = edit->fontMetrics().horizontalAdvance(QStringLiteral("0"));
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->contentsRect().left() + hourAt, edit->height() / 2));
        if (pasted) {
            QGuiApplication::clipboard()->setText(typed);
            QTest::keyClick(picker, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(picker, typed);
        }
        QCOMPARE(picker->text(), picker->value().toString(picker->displayFormat()));
    }
    form->PushButton1()->click();
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses().size(), 1);
    QCOMPARE(courses().first().mid(5), (QStringList{stored, stored}));
}

QTEST_MAIN(CourseDialogsTest)
#include "test_course_dialogs.moc"

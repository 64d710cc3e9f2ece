// The one way failures are reported: the "Application Error" box and the
// continue-after-report rule.
#include "base/app_info.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "tests/support/scripted_prompts.h"

#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {
// A procedure without reporting of its own.
void failingCallee()
{
    throw Failure(QStringLiteral("Disk not ready"));
}
} // namespace

class ReportingTest : public QObject
{
    Q_OBJECT
private slots:
    void boxTextTitleIconAndButton();
    void locationTextsEndInOneBlank_data();
    void locationTextsEndInOneBlank();
    void reportsTheFailingStatementAndGoesOn();
    void calleeFailureCarriesTheCallersNumber();
    void firstStatementReports100();
    void testThatCannotBeEvaluatedActsAsTrue();
    void withoutAWindowTheSinkIsToldInsteadOfABox();
    void appTitleIsCutAtBlanks_data();
    void appTitleIsCutAtBlanks();
};

void ReportingTest::boxTextTitleIconAndButton()
{
    ScriptedPrompts prompts;
    Procedure p(prompts, nullptr, location("Form1", "Form_Load"));
    p.step(106, [] { throw Failure("Could not find file"); });
    QCOMPARE(prompts.messages().size(), 1);
    const MessageBoxRequest box = prompts.messages().first();
    QCOMPARE(box.text, QString("Could not find file\r\nin Tindrel2021/08/31.Form1.Form_Load at line 106\r\r"
                               "Please email screenshot of this message to ") +
                           kSupportAddress);
    QCOMPARE(box.title, QString("Application Error"));
    QCOMPARE(box.icon, Icon::Warning);
    QCOMPARE(box.buttons, Buttons::Ok);
}

void ReportingTest::locationTextsEndInOneBlank_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Form1.ListCourses") << "Form1"
                                       << "ListCourses"
                                       << "in Tindrel2021/08/31.Form1.ListCourses ";
    QTest::newRow("Form3.Form_QueryUnload") << "Form3"
                                            << "Form_QueryUnload"
                                            << "in Tindrel2021/08/31.Form3.Form_QueryUnload ";
    QTest::newRow("Form1.PushButton10_Click") << "Form1"
                                              << "PushButton10_Click"
                                              << "in Tindrel2021/08/31.Form1.PushButton10_Click ";
}

void ReportingTest::locationTextsEndInOneBlank()
{
    QFETCH(QString, window);
    QFETCH(QString, procedure);
    QFETCH(QString, expected);
    const QString text = location(window.toLatin1().constData(), procedure.toLatin1().constData());
    QCOMPARE(text, expected);
    QVERIFY(errorMessage("x", text, 100).contains(procedure + " at line 100"));
}

void ReportingTest::reportsTheFailingStatementAndGoesOn()
{
    ScriptedPrompts prompts;
    Procedure p(prompts, nullptr, location("Form1", "PushButton1_Click"));
    QStringList ran;
    QVERIFY(p.step(100, [&] { ran << "100"; }));
    QVERIFY(!p.step(102, [&] { throw Failure("first"); }));
    QVERIFY(p.step(104, [&] { ran << "104"; }));
    QVERIFY(!p.step(106, [&] { throw std::runtime_error("second"); }));
    QVERIFY(p.step(108, [&] { ran << "108"; }));
    QCOMPARE(ran, (QStringList{"100", "104", "108"}));
    const QStringList texts = prompts.messageTexts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[0].startsWith("first\r\nin Tindrel2021/08/31.Form1.PushButton1_Click at line 102\r\r"));
    QVERIFY(texts[1].startsWith("second\r\nin Tindrel2021/08/31.Form1.PushButton1_Click at line 106\r\r"));
}

void ReportingTest::calleeFailureCarriesTheCallersNumber()
{
    ScriptedPrompts prompts;
    Procedure p(prompts, nullptr, location("Form1", "PushButton2_Click"));
    p.step(100, [] {});
    p.step(102, [] {});
    p.step(104, [] { failingCallee(); });
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.messages().first().text.startsWith(
        "Disk not ready\r\nin Tindrel2021/08/31.Form1.PushButton2_Click at line 104\r\r"));
}

void ReportingTest::firstStatementReports100()
{
    ScriptedPrompts prompts;
    Procedure p(prompts, nullptr, location("Form2", "PushButton1_Click"));
    p.step(100, [] { throw Failure("x"); });
    QVERIFY(prompts.messages().first().text.contains("at line 100\r\r"));
}

void ReportingTest::testThatCannotBeEvaluatedActsAsTrue()
{
    ScriptedPrompts prompts;
    Procedure p(prompts, nullptr, location("Form2", "PushButton1_Click"));
    QVERIFY(!p.test(100, [] { return false; }));
    QVERIFY(p.test(106, []() -> bool { throw Failure("Type mismatch"); }));
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().text.contains("at line 106"));
}

void ReportingTest::withoutAWindowTheSinkIsToldInsteadOfABox()
{
    QStringList told;
    Procedure p([&](int statement, const QString& description) { told << QString::number(statement) + description; });
    QVERIFY(!p.step(112, [] { throw Failure(" Type mismatch"); }));
    QVERIFY(p.step(114, [] {}));
    QCOMPARE(told, QStringList{"112 Type mismatch"});
}

void ReportingTest::appTitleIsCutAtBlanks_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("title");
    QTest::newRow("one word") << "Quorvane"
                              << "Quorvane";
    QTest::newRow("several words, short") << "College Schedule Maker"
                                          << "College Schedule";
    QTest::newRow("sixty characters") << "Quorvane Weekly College Timetable Builder For Busy Students X"
                                      << "Quorvane Weekly College Timetable";
}

void ReportingTest::appTitleIsCutAtBlanks()
{
    QFETCH(QString, product);
    QFETCH(QString, title);
    QCOMPARE(cutAppTitle(product), title);
    QVERIFY(cutAppTitle(product).size() <= 40 || !product.contains(' '));
}

QTEST_GUILESS_MAIN(ReportingTest)
#include "test_reporting.moc"

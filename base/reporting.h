#pragma once

#include "base/prompts.h"

#include <QString>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

namespace quorvane {

// "in Tindrel2021/08/31.<window>.<procedure> " — the location of a reporting
// procedure in the error box, one trailing blank included.
QString location(const char* window, const char* procedure);

// The text of the error box.
QString errorMessage(const QString& description, const QString& location, int statement);

// Shows the "Application Error" box and returns when the user has closed it.
void Report(Prompts& prompts, QWidget* parent, const QString& location, int statement, const QString& description);

// The reporting wrapper of one procedure. Its statements are numbered; a
// failure raised by a statement, or by anything it calls that does not report
// by itself, shows the error box with the procedure's location and the
// statement's number, and the procedure goes on with its next statement.
class Procedure
{
public:
    // What a procedure run without a window is told of each failure in place
    // of the box: the statement's number and the failure's description.
    using FailureSink = std::function<void(int statement, const QString& description)>;

    Procedure(Prompts& prompts, QWidget* parent, QString location)
        : m_prompts(&prompts), m_parent(parent), m_location(std::move(location))
    {
    }
    // Without a window: no box is shown, the sink is told instead.
    explicit Procedure(FailureSink sink) : m_sink(std::move(sink)) {}

    // Runs one numbered statement; false when it failed (and was reported).
    template <class Statement>
    bool step(int number, Statement&& statement)
    {
        m_current = number;
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const std::exception& e) {
            report(e);
        } catch (...) {
            reportUnknown();
        }
        return false;
    }

    // A numbered test; one that cannot be evaluated acts as if it were true.
    template <class Condition>
    bool test(int number, Condition&& condition)
    {
        m_current = number;
        try {
            return static_cast<bool>(std::forward<Condition>(condition)());
        } catch (const std::exception& e) {
            report(e);
        } catch (...) {
            reportUnknown();
        }
        return true;
    }

    int current() const { return m_current; }
    const QString& locationText() const { return m_location; }
    // Those of a procedure with a window.
    Prompts& prompts() const { return *m_prompts; }
    QWidget* parent() const { return m_parent; }

private:
    void report(const std::exception& e);
    void reportUnknown();
    void report(const QString& description);

    Prompts* m_prompts = nullptr;
    QWidget* m_parent = nullptr;
    QString m_location;
    FailureSink m_sink;
    int m_current = 0;
};

} // namespace quorvane

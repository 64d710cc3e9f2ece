#pragma once

#include <QString>
#include <cstring>
#include <stdexcept>

namespace quorvane {

// A failure raised by a statement: the engine's, the file system's or our own
// description travels with it so the error box can show it.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    QString description() const { return m_description; }

private:
    QString m_description;
};

// The system's words for the error number `error` ("No space left on device").
inline QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The description of any exception, as the error box shows it.
inline QString describe(const std::exception& e)
{
    if (auto* failure = dynamic_cast<const Failure*>(&e))
        return failure->description();
    return QString::fromUtf8(e.what());
}

} // namespace quorvane

// libFuzzer target: the reader of stored times of day.
//
// Whatever bytes arrive, timeofday::parse must not crash, must agree with a
// regular-expression reading of the two accepted forms, read() must agree
// with it on every text without a date, and whatever it accepts must come
// back unchanged through the long form the dialogs write and through the grid's
// row label.
#include "base/time_of_day.h"

#include <QRegularExpression>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

[[noreturn]] void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "fuzz_time_reader: %s for \"%s\"\n", what, text.toUtf8().constData());
    std::abort();
}

// The input as text: UTF-8, raw UTF-16 (lone surrogates included) or Latin-1,
// chosen by the first byte.
QString textOf(const uint8_t* data, size_t size)
{
    if (size == 0)
        return {};
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    switch (data[0] % 3) {
    case 0:
        return QString::fromUtf8(bytes, length);
    case 1: {
        QString text;
        for (qsizetype i = 0; i + 1 < length; i += 2)
            text += QChar(
                static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        return text;
    }
    default:
        return QString::fromLatin1(bytes, length);
    }
}

// The reading as a regular expression states it: "h:mm" or "hh:mm", optional
// ":ss", optional AM/PM in any case, ASCII blanks around and before the
// designator, ASCII digits only.
std::optional<QTime> plainReading(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[ \\t\\n\\x0B\\f\\r]*([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?[ \\t\\n\\x0B\\f\\r]*"
                       "([AaPp][Mm])?[ \\t\\n\\x0B\\f\\r]*\\z"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.capturedLength(3) ? match.captured(3).toInt() : 0;
    const QString designator = match.captured(4).toUpper();
    if (minute > 59 || second > 59 || hour > (designator.isEmpty() ? 23 : 12))
        return std::nullopt;
    if (!designator.isEmpty())
        hour = hour % 12 + (designator == QLatin1String("PM") ? 12 : 0);
    return QTime(hour, minute, second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvane::timeofday;
    const QString text = textOf(data, size);
    const std::optional<QTime> time = parse(text);
    if (time != plainReading(text))
        fail("the reader and the plain reading disagree", text);
    const std::optional<StoredTime> stored = read(text);
    if (stored && !stored->dated && stored->time != time)
        fail("read and parse disagree", text);
    // Stored bytes (UTF-8) read as Latin-1 give the same reading.
    const QByteArray utf8 = text.toUtf8();
    const std::optional<StoredTime> fromBytes = read(QLatin1StringView(utf8));
    if (fromBytes.has_value() != stored.has_value() ||
        (stored && (fromBytes->time != stored->time || fromBytes->dated != stored->dated)))
        fail("the reading of stored bytes disagrees", text);
    if (time && (!stored || stored->dated))
        fail("a time of day was read as dated", text);
    if (!time)
        return 0;
    if (!time->isValid())
        fail("an invalid time was accepted", text);
    const QString written = formatLong(*time);
    if (parse(written) != time)
        fail("the long form does not read back", text);
    const QString label = formatLabel(*time);
    const std::optional<QTime> fromLabel = parse(label);
    if (!fromLabel || fromLabel->hour() != time->hour() || fromLabel->minute() != time->minute() ||
        fromLabel->second() != 0)
        fail("the row label does not read back", text);
    return 0;
}

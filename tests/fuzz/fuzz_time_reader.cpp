// libFuzzer target: the reader of stored times of day.
//
// Whatever bytes arrive, timeofday::parse must not crash, must agree with a
// plain reading of the two accepted forms, and whatever it accepts must come
// back unchanged through the long form the dialogs write and through the grid's
// row label.
#include "store/time_of_day.h"

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

bool asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// "h:mm", "hh:mm", optional ":ss", optional AM/PM in any case, blanks around
// and before the designator; ASCII digits only.
std::optional<QTime> plainReading(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    // Blanks are the ASCII white-space characters.
    const auto skipBlanks = [&] {
        while (i < n &&
               (text.at(i) == QLatin1Char(' ') || (text.at(i) >= QLatin1Char('\t') && text.at(i) <= QLatin1Char('\r'))))
            ++i;
    };
    const auto digits = [&](int least, int most, int& value) {
        int count = 0;
        value = 0;
        while (i < n && count < most && asciiDigit(text.at(i))) {
            value = value * 10 + (text.at(i).unicode() - '0');
            ++i;
            ++count;
        }
        return count >= least;
    };
    skipBlanks();
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!digits(1, 2, hour) || i >= n || text.at(i) != QLatin1Char(':'))
        return std::nullopt;
    ++i;
    if (!digits(2, 2, minute))
        return std::nullopt;
    if (i < n && text.at(i) == QLatin1Char(':')) {
        ++i;
        if (!digits(2, 2, second))
            return std::nullopt;
    }
    skipBlanks();
    int designator = 0; // 1 AM, 2 PM
    if (i + 1 < n && text.at(i + 1).toUpper() == QLatin1Char('M')) {
        const QChar c = text.at(i).toUpper();
        if (c == QLatin1Char('A'))
            designator = 1;
        else if (c == QLatin1Char('P'))
            designator = 2;
        if (designator)
            i += 2;
    }
    skipBlanks();
    if (i != n || minute > 59 || second > 59)
        return std::nullopt;
    if (designator == 0) {
        if (hour > 23)
            return std::nullopt;
    } else {
        if (hour > 12)
            return std::nullopt;
        hour %= 12;
        if (designator == 2)
            hour += 12;
    }
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

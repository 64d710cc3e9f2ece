// libFuzzer target: the day-set reader and writer.
//
// Any stored Days text splits into entries that join back to the same text;
// each entry reads as a number exactly when it is an optionally signed run of
// ASCII digits that fits an int, blanks around allowed; and every set of ticked
// days written by dayset::build reads back as the same days, ascending.
#include "base/day_set.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

[[noreturn]] void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "fuzz_day_set: %s for \"%s\"\n", what, text.toUtf8().constData());
    std::abort();
}

std::optional<int> plainNumber(const QString& entry)
{
    const QString text = entry.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

void checkStoredText(const QString& days)
{
    using namespace quorvane::dayset;
    const QStringList parts = entries(days);
    if (days.isEmpty()) {
        if (!parts.isEmpty())
            fail("an empty day set has entries", days);
        return;
    }
    if (parts.join(QLatin1Char(',')) != days || parts.size() != days.count(QLatin1Char(',')) + 1)
        fail("the entries do not join back to the stored text", days);
    for (const QString& part : parts) {
        if (entryValue(part) != plainNumber(part))
            fail("an entry reads as the wrong number", part);
        // The reading of the stored bytes agrees wherever they are ASCII.
        const QByteArray latin1 = part.toLatin1();
        const bool ascii = std::all_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii && entryValue(QLatin1StringView(latin1)) != entryValue(part))
            fail("the reading of stored bytes disagrees", part);
    }
}

void checkWrittenSet(uint8_t bits)
{
    using namespace quorvane::dayset;
    std::array<bool, kDays> ticked{};
    for (int d = 0; d < kDays; ++d)
        ticked[static_cast<size_t>(d)] = bits & (1u << d);
    const QString written = build(ticked);
    std::array<bool, kDays> read{};
    int previous = -1;
    for (const QString& part : entries(written)) {
        if (part.size() != 1)
            fail("a written entry is not one digit", written);
        const std::optional<int> d = entryValue(part);
        if (!d || *d < 0 || *d >= kDays || *d <= previous)
            fail("a written entry is out of order or range", written);
        previous = *d;
        read[static_cast<size_t>(*d)] = true;
    }
    if (read != ticked)
        fail("the written days do not read back", written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    checkWrittenSet(data[0]);
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    if (data[0] & 0x80) {
        QString text;
        for (qsizetype i = 0; i + 1 < length; i += 2)
            text += QChar(
                static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        checkStoredText(text);
    } else {
        checkStoredText(QString::fromUtf8(bytes, length));
    }
    return 0;
}

#include "base/time_of_day.h"

#include <QDate>

namespace quorvane::timeofday {

namespace {

// A left-to-right reading of one text, without regular expressions: the grid
// reads two times for every course it draws.
template <class Text>
class Reader
{
public:
    explicit Reader(Text text) : m_text(text) {}

    bool atEnd() const { return m_at == m_text.size(); }
    QChar peek(qsizetype ahead = 0) const { return m_at + ahead < m_text.size() ? m_text.at(m_at + ahead) : QChar(); }
    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    // ASCII white space; true when there was some.
    bool skipBlanks()
    {
        const qsizetype start = m_at;
        while (!atEnd() && (peek() == QLatin1Char(' ') || (peek() >= QLatin1Char('\t') && peek() <= QLatin1Char('\r'))))
            ++m_at;
        return m_at > start;
    }
    // Between `least` and `most` ASCII digits; their count, 0 when too few.
    int digits(int least, int most, int& value)
    {
        int count = 0;
        value = 0;
        while (count < most && peek() >= QLatin1Char('0') && peek() <= QLatin1Char('9')) {
            value = value * 10 + (peek().unicode() - '0');
            ++m_at;
            ++count;
        }
        return count >= least ? count : 0;
    }
    qsizetype position() const { return m_at; }
    void rewind(qsizetype to) { m_at = to; }

private:
    Text m_text;
    qsizetype m_at = 0;
};

// "8/31/2021", "2021-08-31", "31.08.2021": three numbers with one separator,
// the year first or last. False, and nothing read, when there is none.
template <class Text>
bool readDate(Reader<Text>& in)
{
    const qsizetype start = in.position();
    int first = 0;
    int second = 0;
    int third = 0;
    const int firstDigits = in.digits(1, 4, first);
    const QChar separator = in.peek();
    const bool isSeparator =
        separator == QLatin1Char('/') || separator == QLatin1Char('-') || separator == QLatin1Char('.');
    if (firstDigits && isSeparator && in.take(separator) && in.digits(1, 2, second) && in.take(separator)) {
        const int thirdDigits = in.digits(1, 4, third);
        const bool valid = firstDigits == 4 ? thirdDigits <= 2 && QDate(first, second, third).isValid()
                                            : thirdDigits == 4 && (QDate(third, first, second).isValid() ||
                                                                   QDate(third, second, first).isValid());
        if (valid)
            return true;
    }
    in.rewind(start);
    return false;
}

template <class Text>
std::optional<QTime> readTime(Reader<Text>& in)
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!in.digits(1, 2, hour) || !in.take(QLatin1Char(':')) || !in.digits(2, 2, minute))
        return std::nullopt;
    if (in.take(QLatin1Char(':')) && !in.digits(2, 2, second))
        return std::nullopt;
    in.skipBlanks();
    int designator = 0; // 1 AM, 2 PM
    if (in.peek(1).toUpper() == QLatin1Char('M')) {
        const QChar c = in.peek().toUpper();
        designator = c == QLatin1Char('A') ? 1 : c == QLatin1Char('P') ? 2 : 0;
        if (designator) {
            in.take(in.peek());
            in.take(in.peek());
        }
    }
    if (minute > 59 || second > 59 || hour > (designator ? 12 : 23))
        return std::nullopt;
    if (designator)
        hour = hour % 12 + (designator == 2 ? 12 : 0);
    return QTime(hour, minute, second);
}

QString twelveHour(const QTime& time, bool withSeconds)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString text =
        QString::number(hour) + QLatin1Char(':') + QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (withSeconds)
        text += QLatin1Char(':') + QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0'));
    text += time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM");
    return text;
}

template <class Text>
std::optional<StoredTime> readText(Text text)
{
    Reader<Text> in(text);
    in.skipBlanks();
    StoredTime stored;
    if (readDate(in)) {
        stored.dated = true;
        stored.time = QTime(0, 0);
        if (!in.skipBlanks() && !in.atEnd())
            return std::nullopt;
    }
    if (!in.atEnd()) {
        const std::optional<QTime> time = readTime(in);
        if (!time)
            return std::nullopt;
        stored.time = *time;
    } else if (!stored.dated) {
        return std::nullopt;
    }
    in.skipBlanks();
    if (!in.atEnd())
        return std::nullopt;
    return stored;
}

} // namespace

std::optional<StoredTime> read(const QString& text)
{
    return readText(QStringView(text));
}

std::optional<StoredTime> read(QLatin1StringView text)
{
    return readText(text);
}

std::optional<QTime> parse(const QString& text)
{
    const std::optional<StoredTime> stored = read(text);
    if (!stored || stored->dated)
        return std::nullopt;
    return stored->time;
}

QTime earliestCourseTime()
{
    return QTime(6, 0, 0);
}

QTime latestCourseTime()
{
    return QTime(21, 30, 0);
}

QTime snappedToHalfHour(const QTime& time)
{
    return QTime(time.hour(), time.minute() <= 15 ? 0 : 30, time.second());
}

QString formatLong(const QTime& time)
{
    return twelveHour(time, true);
}

QString formatLabel(const QTime& time)
{
    return twelveHour(time, false);
}

QString formatRange(const QTime& from, const QTime& to)
{
    return joinRange(formatLabel(from), formatLabel(to));
}

QString joinRange(const QString& start, const QString& end)
{
    const QString dash = QStringLiteral("\u2013");
    // "9:00–9:50 AM": the designator once when both share it.
    if (start.right(3) == end.right(3))
        return start.chopped(3) + dash + end;
    return start + dash + end;
}

} // namespace quorvane::timeofday

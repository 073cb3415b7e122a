#include "DateTimeRenderer.h"

namespace qel {

namespace {

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

char16_t lower(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u - u'A' + u'a') : u;
}

bool isQuote(QChar c) {
    return c == u'\'' || c == u'"';
}

bool startsWithAnyCase(QStringView text, qsizetype at, QStringView word) {
    return text.mid(at).startsWith(word, Qt::CaseInsensitive);
}

// Index after the quoted text that starts at `at`: past the closing quote, or the end
// of the pattern when the quote is never closed.
qsizetype endOfQuote(QStringView pattern, qsizetype at) {
    const qsizetype close = pattern.indexOf(pattern[at], at + 1);
    return close < 0 ? pattern.size() : close + 1;
}

// Whether the first a or A from `from` on (outside quotes) begins a 12-hour mark.
bool twelveHourMarkFollows(QStringView pattern, qsizetype from) {
    for (qsizetype i = from; i < pattern.size();) {
        const QChar c = pattern[i];
        if (isQuote(c)) {
            i = endOfQuote(pattern, i);
            continue;
        }
        if (lower(c) == u'a')
            return startsWithAnyCase(pattern, i, u"am/pm") ||
                   startsWithAnyCase(pattern, i, u"ampm");
        ++i;
    }
    return false;
}

QString number(int value, bool twoDigits) {
    return twoDigits ? QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'))
                     : QString::number(value);
}

template <std::size_t N> QString nameAt(const std::array<QString, N>& table, int index) {
    return index >= 0 && std::size_t(index) < N ? table[std::size_t(index)] : QString();
}

} // namespace

QString renderDateTime(QStringView pattern, const QDateTime& at, const NameTables& names,
                       const EraCalendar& eras) {
    const QDate date = at.date();
    const QTime time = at.time();
    const bool afternoon = time.hour() >= 12;
    const auto era = eras.eraOf(date);
    const int weekday = date.isValid() ? date.dayOfWeek() % 7 : -1; // Sunday first

    QString out;
    out.reserve(pattern.size() * 2);
    bool afterHour = false; // the last token was an hour: "m" and "mm" mean the minute
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (isQuote(c)) {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype textEnd = close < 0 ? pattern.size() : close;
            out += pattern.mid(i + 1, textEnd - i - 1);
            i = endOfQuote(pattern, i);
            continue;
        }
        if (!isAsciiLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        const char16_t letter = lower(c);
        if (letter == u'a' && startsWithAnyCase(pattern, i, u"am/pm")) {
            // "AM" or "PM" in the letter case written in the pattern.
            out += pattern.mid(afternoon ? i + 3 : i, 2);
            i += 5;
            afterHour = false;
            continue;
        }
        if (letter == u'a' && startsWithAnyCase(pattern, i, u"ampm")) {
            out += afternoon ? names.pmDesignator : names.amDesignator;
            i += 4;
            afterHour = false;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == letter)
            ++run;
        const bool two = run >= 2;

        switch (letter) {
        case u'y':
            if (run <= 2)
                out += number((date.year() % 100 + 100) % 100, true);
            else
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case u'm':
            if (run <= 2)
                out += number(afterHour ? time.minute() : date.month(), two);
            else
                out += nameAt(run == 3 ? names.shortMonthNames : names.longMonthNames,
                              date.month() - 1);
            break;
        case u'd':
            if (run <= 2)
                out += number(date.day(), two);
            else
                out += nameAt(run == 3 ? names.shortDayNames : names.longDayNames, weekday);
            break;
        case u'a':
            if (run >= 3)
                out += nameAt(run == 3 ? names.shortDayNames : names.longDayNames, weekday);
            else
                out += pattern.mid(i, run);
            break;
        case u'g':
            if (era)
                out += two ? era->name : era->name.left(1);
            break;
        case u'e':
            out += number(era ? era->year : date.year(), two);
            break;
        case u'h': {
            int hour = time.hour();
            if (twelveHourMarkFollows(pattern, i + run))
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += number(hour, two);
            break;
        }
        case u'n':
            out += number(time.minute(), two);
            break;
        case u's':
            out += number(time.second(), two);
            break;
        default:
            out += pattern.mid(i, run);
            break;
        }
        afterHour = letter == u'h';
        i += run;
    }
    return out;
}

QString renderDateTime(QStringView pattern, const QDateTime& at) {
    return renderDateTime(pattern, at, currentNameTables());
}

} // namespace qel

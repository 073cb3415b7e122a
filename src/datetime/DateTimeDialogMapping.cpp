#include "DateTimeDialogMapping.h"

namespace qel {

namespace {

bool has(const QString& pattern, QStringView text) {
    return pattern.contains(text, Qt::CaseSensitive);
}

void fillYear(const QString& item, DateTimeDialogState& d) {
    if (item.isEmpty())
        return;
    d.showYear = true;
    if (has(item, u"yy")) {
        d.westernYear = true;
        d.twoDigitYear = !has(item, u"yyyy");
    } else if (has(item, u"ge")) {
        d.eraYear = true;
        d.shortEraName = !has(item, u"gge");
    }
}

void fillMonth(const QString& item, int monthNumbering, DateTimeDialogState& d) {
    if (item.isEmpty())
        return;
    d.showMonth = true;
    // The naming mode decides, not the pattern: "mmmm" is both the traditional and the
    // long English name.
    switch (monthNumbering) {
    case 0:
        d.numericMonth = true;
        d.zeroPadMonth = has(item, u"mm");
        break;
    case 1:
        d.japaneseMonth = true;
        break;
    case 2:
        d.englishMonth = true;
        d.shortMonthName = !has(item, u"mmmm");
        break;
    default:
        break;
    }
}

void fillWeekday(const QString& item, DateTimeDialogState& d) {
    if (item.isEmpty())
        return;
    d.showWeekday = true;
    d.weekdayInParentheses = has(item, u"(");
    if (has(item, u"aaa")) {
        d.kanjiWeekday = true;
        d.shortWeekday = !has(item, u"aaaa");
    } else if (has(item, u"ddd")) {
        d.englishWeekday = true;
        d.shortWeekday = !has(item, u"dddd");
    }
}

void fillHour(const QString& item, int amPmMode, DateTimeDialogState& d) {
    if (item.isEmpty())
        return;
    d.showHour = true;
    switch (amPmMode) {
    case 0:
        d.twelveHour = d.amPm = true;
        d.lowercaseAmPm = false;
        break;
    case 1:
        d.twelveHour = d.amPm = d.lowercaseAmPm = true;
        break;
    case 2:
        d.twelveHour = d.japaneseAmPm = true;
        break;
    default: // 24-hour clock
        break;
    }
    d.zeroPadHour = has(item, u"hh");
}

QString withUnit(QString item, bool units, QStringView unit) {
    if (units)
        item += u'\'' + unit + u'\'';
    return item;
}

QString yearPattern(const DateTimeDialogState& d, bool units) {
    QString item;
    if (d.westernYear)
        item = d.twoDigitYear ? QStringLiteral("yy") : QStringLiteral("yyyy");
    else if (d.eraYear)
        item = d.shortEraName ? QStringLiteral("ge") : QStringLiteral("gge");
    // With no radio chosen the unit stands alone.
    return withUnit(item, units, u"年");
}

QString monthPattern(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
    if (d.numericMonth) {
        s.monthNumbering = 0;
        return withUnit(d.zeroPadMonth ? QStringLiteral("mm") : QStringLiteral("m"), units, u"月");
    }
    if (d.japaneseMonth) {
        s.monthNumbering = 1;
        return QStringLiteral("mmmm");
    }
    if (d.englishMonth) {
        s.monthNumbering = 2;
        return d.shortMonthName ? QStringLiteral("mmm") : QStringLiteral("mmmm");
    }
    return {};
}

QString weekdayPattern(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
    QString item;
    if (d.kanjiWeekday) {
        s.dayNames = 0;
        item = d.shortWeekday ? QStringLiteral("aaa") : QStringLiteral("aaaa");
    } else if (d.englishWeekday) {
        s.dayNames = 1;
        item = d.shortWeekday ? QStringLiteral("ddd") : QStringLiteral("dddd");
    }
    if (d.weekdayInParentheses)
        item = u'(' + item + u')';
    return item;
}

QString hourPattern(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
    if (!d.twelveHour)
        s.amPmMode = 4;
    else if (d.amPm)
        s.amPmMode = d.lowercaseAmPm ? 1 : 0;
    else if (d.japaneseAmPm)
        s.amPmMode = 2;
    // 12-hour clock with neither mark chosen: the mark stays as it was.
    return withUnit(d.zeroPadHour ? QStringLiteral("hh") : QStringLiteral("h"), units, u"時");
}

QString numberPattern(bool leadingZero, char16_t letter, bool units, QStringView unit) {
    QString item(leadingZero ? 2 : 1, QChar(letter));
    return withUnit(item, units, unit);
}

} // namespace

DateTimeDialogState dialogStateFor(const DateTimeFormatSettings& s) {
    DateTimeDialogState d;
    d.dateOrder = s.dateOrder;
    d.dateTimeOrder = s.dateTimeOrder;
    d.withUnits = s.unitMode == 1;
    fillYear(s.yearItem, d);
    fillMonth(s.monthItem, s.monthNumbering, d);
    if (!s.dayItem.isEmpty()) {
        d.showDay = true;
        d.zeroPadDay = has(s.dayItem, u"dd");
    }
    fillWeekday(s.weekdayItem, d);
    fillHour(s.hourItem, s.amPmMode, d);
    if (!s.minuteItem.isEmpty()) {
        d.showMinute = true;
        d.zeroPadMinute = has(s.minuteItem, u"nn");
    }
    if (!s.secondItem.isEmpty()) {
        d.showSecond = true;
        d.zeroPadSecond = has(s.secondItem, u"ss");
    }
    return d;
}

void applyDialogState(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
    const bool units = d.withUnits;
    s.unitMode = units ? 1 : 0;
    s.yearItem = d.showYear ? yearPattern(d, units) : QString();
    s.monthItem = d.showMonth ? monthPattern(d, units, s) : QString();
    s.dayItem = d.showDay ? numberPattern(d.zeroPadDay, u'd', units, u"日") : QString();
    s.weekdayItem = d.showWeekday ? weekdayPattern(d, s) : QString();
    s.hourItem = d.showHour ? hourPattern(d, units, s) : QString();
    s.minuteItem = d.showMinute ? numberPattern(d.zeroPadMinute, u'n', units, u"分") : QString();
    s.secondItem = d.showSecond ? numberPattern(d.zeroPadSecond, u's', units, u"秒") : QString();
    s.dateOrder = d.dateOrder;
    s.dateTimeOrder = d.dateTimeOrder;
}

} // namespace qel

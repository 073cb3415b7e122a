#include "DateTimeDialogMapping.h"

namespace qel {

namespace {

bool has(const QString& pattern, QStringView text) {
    return pattern.contains(text, Qt::CaseSensitive);
}

void fillYear(const QString& yo, DateTimeDialogState& d) {
    if (yo.isEmpty())
        return;
    d.showYear = true;
    if (has(yo, u"yy")) {
        d.westernYear = true;
        d.twoDigitYear = !has(yo, u"yyyy");
    } else if (has(yo, u"ge")) {
        d.eraYear = true;
        d.shortEraName = !has(yo, u"gge");
    }
}

void fillMonth(const QString& mo, int monthNumbering, DateTimeDialogState& d) {
    if (mo.isEmpty())
        return;
    d.showMonth = true;
    // The naming mode decides, not the pattern: "mmmm" is both the traditional and the
    // long English name.
    switch (monthNumbering) {
    case 0:
        d.numericMonth = true;
        d.zeroPadMonth = has(mo, u"mm");
        break;
    case 1:
        d.japaneseMonth = true;
        break;
    case 2:
        d.englishMonth = true;
        d.shortMonthName = !has(mo, u"mmmm");
        break;
    default:
        break;
    }
}

void fillWeekday(const QString& dno, DateTimeDialogState& d) {
    if (dno.isEmpty())
        return;
    d.showWeekday = true;
    d.weekdayInParentheses = has(dno, u"(");
    if (has(dno, u"aaa")) {
        d.kanjiWeekday = true;
        d.shortWeekday = !has(dno, u"aaaa");
    } else if (has(dno, u"ddd")) {
        d.englishWeekday = true;
        d.shortWeekday = !has(dno, u"dddd");
    }
}

void fillHour(const QString& oo, int ampm, DateTimeDialogState& d) {
    if (oo.isEmpty())
        return;
    d.showHour = true;
    switch (ampm) {
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
    d.zeroPadHour = has(oo, u"hh");
}

QString withUnit(QString item, bool units, QStringView unit) {
    if (units)
        item += u'\'' + unit + u'\'';
    return item;
}

QString yearItem(const DateTimeDialogState& d, bool units) {
    QString item;
    if (d.westernYear)
        item = d.twoDigitYear ? QStringLiteral("yy") : QStringLiteral("yyyy");
    else if (d.eraYear)
        item = d.shortEraName ? QStringLiteral("ge") : QStringLiteral("gge");
    // With no radio chosen the unit stands alone.
    return withUnit(item, units, u"年");
}

QString monthItem(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
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

QString weekdayItem(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
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

QString hourItem(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
    if (!d.twelveHour)
        s.ampm = 4;
    else if (d.amPm)
        s.ampm = d.lowercaseAmPm ? 1 : 0;
    else if (d.japaneseAmPm)
        s.ampm = 2;
    // 12-hour clock with neither mark chosen: the mark stays as it was.
    return withUnit(d.zeroPadHour ? QStringLiteral("hh") : QStringLiteral("h"), units, u"時");
}

QString numberItem(bool leadingZero, char16_t letter, bool units, QStringView unit) {
    QString item(leadingZero ? 2 : 1, QChar(letter));
    return withUnit(item, units, unit);
}

} // namespace

DateTimeDialogState dialogStateFor(const DateTimeFormatSettings& s) {
    DateTimeDialogState d;
    d.dateOrder = s.dateSortType;
    d.dateTimeOrder = s.dateTimeSortType;
    d.withUnits = s.credit == 1;
    fillYear(s.yo, d);
    fillMonth(s.mo, s.monthNumbering, d);
    if (!s.dayItem.isEmpty()) {
        d.showDay = true;
        d.zeroPadDay = has(s.dayItem, u"dd");
    }
    fillWeekday(s.dno, d);
    fillHour(s.oo, s.ampm, d);
    if (!s.mio.isEmpty()) {
        d.showMinute = true;
        d.zeroPadMinute = has(s.mio, u"nn");
    }
    if (!s.so.isEmpty()) {
        d.showSecond = true;
        d.zeroPadSecond = has(s.so, u"ss");
    }
    return d;
}

void applyDialogState(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
    const bool units = d.withUnits;
    s.credit = units ? 1 : 0;
    s.yo = d.showYear ? yearItem(d, units) : QString();
    s.mo = d.showMonth ? monthItem(d, units, s) : QString();
    s.dayItem = d.showDay ? numberItem(d.zeroPadDay, u'd', units, u"日") : QString();
    s.dno = d.showWeekday ? weekdayItem(d, s) : QString();
    s.oo = d.showHour ? hourItem(d, units, s) : QString();
    s.mio = d.showMinute ? numberItem(d.zeroPadMinute, u'n', units, u"分") : QString();
    s.so = d.showSecond ? numberItem(d.zeroPadSecond, u's', units, u"秒") : QString();
    s.dateSortType = d.dateOrder;
    s.dateTimeSortType = d.dateTimeOrder;
}

} // namespace qel

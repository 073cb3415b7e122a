#include "DateTimeDialogMapping.h"

namespace qel {

namespace {

bool has(const QString& pattern, QStringView text) {
    return pattern.contains(text, Qt::CaseSensitive);
}

void fillYear(const QString& yo, DateTimeDialogState& d) {
    if (yo.isEmpty())
        return;
    d.YearCheck = true;
    if (has(yo, u"yy")) {
        d.Seireki = true;
        d.Seireki2keta = !has(yo, u"yyyy");
    } else if (has(yo, u"ge")) {
        d.Wareki = true;
        d.GengouRyaku = !has(yo, u"gge");
    }
}

void fillMonth(const QString& mo, int monthNumbering, DateTimeDialogState& d) {
    if (mo.isEmpty())
        return;
    d.MonthCheck = true;
    // The naming mode decides, not the pattern: "mmmm" is both the traditional and the
    // long English name.
    switch (monthNumbering) {
    case 0:
        d.MonthSuuji = true;
        d.Month0Hyouji = has(mo, u"mm");
        break;
    case 1:
        d.MonthWareki = true;
        break;
    case 2:
        d.MonthEigo = true;
        d.EigoRyaku = !has(mo, u"mmmm");
        break;
    default:
        break;
    }
}

void fillWeekday(const QString& dno, DateTimeDialogState& d) {
    if (dno.isEmpty())
        return;
    d.YoubiCheck = true;
    d.YoubiKakko = has(dno, u"(");
    if (has(dno, u"aaa")) {
        d.YoubiKanji = true;
        d.YoubiRyaku = !has(dno, u"aaaa");
    } else if (has(dno, u"ddd")) {
        d.YoubiEigo = true;
        d.YoubiRyaku = !has(dno, u"dddd");
    }
}

void fillHour(const QString& oo, int ampm, DateTimeDialogState& d) {
    if (oo.isEmpty())
        return;
    d.JiCheck = true;
    switch (ampm) {
    case 0:
        d.Ji12 = d.AMPM = true;
        d.AMPMKomoji = false;
        break;
    case 1:
        d.Ji12 = d.AMPM = d.AMPMKomoji = true;
        break;
    case 2:
        d.Ji12 = d.GozennGogo = true;
        break;
    default: // 24-hour clock
        break;
    }
    d.Ji0Hyouji = has(oo, u"hh");
}

QString withUnit(QString item, bool units, QStringView unit) {
    if (units)
        item += u'\'' + unit + u'\'';
    return item;
}

QString yearItem(const DateTimeDialogState& d, bool units) {
    QString item;
    if (d.Seireki)
        item = d.Seireki2keta ? QStringLiteral("yy") : QStringLiteral("yyyy");
    else if (d.Wareki)
        item = d.GengouRyaku ? QStringLiteral("ge") : QStringLiteral("gge");
    // With no radio chosen the unit stands alone.
    return withUnit(item, units, u"年");
}

QString monthItem(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
    if (d.MonthSuuji) {
        s.monthNumbering = 0;
        return withUnit(d.Month0Hyouji ? QStringLiteral("mm") : QStringLiteral("m"), units, u"月");
    }
    if (d.MonthWareki) {
        s.monthNumbering = 1;
        return QStringLiteral("mmmm");
    }
    if (d.MonthEigo) {
        s.monthNumbering = 2;
        return d.EigoRyaku ? QStringLiteral("mmm") : QStringLiteral("mmmm");
    }
    return {};
}

QString weekdayItem(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
    QString item;
    if (d.YoubiKanji) {
        s.dayNames = 0;
        item = d.YoubiRyaku ? QStringLiteral("aaa") : QStringLiteral("aaaa");
    } else if (d.YoubiEigo) {
        s.dayNames = 1;
        item = d.YoubiRyaku ? QStringLiteral("ddd") : QStringLiteral("dddd");
    }
    if (d.YoubiKakko)
        item = u'(' + item + u')';
    return item;
}

QString hourItem(const DateTimeDialogState& d, bool units, DateTimeFormatSettings& s) {
    if (!d.Ji12)
        s.ampm = 4;
    else if (d.AMPM)
        s.ampm = d.AMPMKomoji ? 1 : 0;
    else if (d.GozennGogo)
        s.ampm = 2;
    // 12-hour clock with neither mark chosen: the mark stays as it was.
    return withUnit(d.Ji0Hyouji ? QStringLiteral("hh") : QStringLiteral("h"), units, u"時");
}

QString numberItem(bool leadingZero, char16_t letter, bool units, QStringView unit) {
    QString item(leadingZero ? 2 : 1, QChar(letter));
    return withUnit(item, units, unit);
}

} // namespace

DateTimeDialogState dialogStateFor(const DateTimeFormatSettings& s) {
    DateTimeDialogState d;
    d.DateJunjo = s.dateSortType;
    d.DateTimeJunjo = s.dateTimeSortType;
    d.Tanni = s.credit == 1;
    fillYear(s.yo, d);
    fillMonth(s.mo, s.monthNumbering, d);
    if (!s.dayItem.isEmpty()) {
        d.DayCheck = true;
        d.Day0Hyouji = has(s.dayItem, u"dd");
    }
    fillWeekday(s.dno, d);
    fillHour(s.oo, s.ampm, d);
    if (!s.mio.isEmpty()) {
        d.FunCheck = true;
        d.Fun0Hyouji = has(s.mio, u"nn");
    }
    if (!s.so.isEmpty()) {
        d.ByouCheck = true;
        d.Byou0Hyouji = has(s.so, u"ss");
    }
    return d;
}

void applyDialogState(const DateTimeDialogState& d, DateTimeFormatSettings& s) {
    const bool units = d.Tanni;
    s.credit = units ? 1 : 0;
    s.yo = d.YearCheck ? yearItem(d, units) : QString();
    s.mo = d.MonthCheck ? monthItem(d, units, s) : QString();
    s.dayItem = d.DayCheck ? numberItem(d.Day0Hyouji, u'd', units, u"日") : QString();
    s.dno = d.YoubiCheck ? weekdayItem(d, s) : QString();
    s.oo = d.JiCheck ? hourItem(d, units, s) : QString();
    s.mio = d.FunCheck ? numberItem(d.Fun0Hyouji, u'n', units, u"分") : QString();
    s.so = d.ByouCheck ? numberItem(d.Byou0Hyouji, u's', units, u"秒") : QString();
    s.dateSortType = d.DateJunjo;
    s.dateTimeSortType = d.DateTimeJunjo;
}

} // namespace qel

#include "DateTimeComposition.h"

namespace qel {

void SetDateFormat(DateTimeFormatSettings& s, NameTables& names) {
    applyNameTableChoice(names, s.monthNumbering, s.dayNames);

    const bool year = !s.yo.isEmpty();
    const bool month = !s.mo.isEmpty();
    const bool day = !s.dayItem.isEmpty();
    if (!s.dno.isEmpty() && (year || month || day))
        s.dno.prepend(u' ');

    QString date;
    if (s.credit == 0 && s.dateSortType == 1) {
        if (day && (year || month))
            s.dayItem.append(u'-');
        if (month && year)
            s.mo.append(u'-');
        date = s.dayItem + s.mo + s.yo + s.dno;
    } else if (s.credit == 0 && s.dateSortType == 0) {
        if (month && year)
            s.mo.prepend(u'-');
        if (day && (year || month))
            s.dayItem.prepend(u'-');
        date = s.yo + s.mo + s.dayItem + s.dno;
    } else if (s.credit == 1 && s.dateSortType == 1) {
        date = s.dayItem + s.mo + s.yo + s.dno;
    } else if (s.credit == 1 && s.dateSortType == 0) {
        date = s.yo + s.mo + s.dayItem + s.dno;
    }
    s.dateFormat = date;
}

void SetTimeFormat(DateTimeFormatSettings& s) {
    const bool hour = !s.oo.isEmpty();
    const bool minute = !s.mio.isEmpty();
    const bool second = !s.so.isEmpty();

    QString time;
    if (s.credit == 0) {
        if (hour && (minute || second))
            s.oo.append(u':');
        if (minute && second)
            s.mio.append(u':');
        time = s.oo + s.mio + s.so;
    } else if (s.credit == 1) {
        time = s.oo + s.mio + s.so;
    }
    switch (s.ampm) {
    case 0:
        time += u"AM/PM";
        break;
    case 1:
        time += u"am/pm";
        break;
    case 2:
        time += u" ampm";
        break;
    default: // 24-hour clock
        break;
    }
    s.timeFormat = time;
}

void SetFormatDT(DateTimeFormatSettings& s, NameTables& names) {
    SetDateFormat(s, names);
    SetTimeFormat(s);
    if (s.dateTimeSortType == 0)
        s.dateTimeFormat = u'[' + s.dateFormat + u' ' + s.timeFormat + u']';
    else if (s.dateTimeSortType == 1)
        s.dateTimeFormat = u'[' + s.timeFormat + u' ' + s.dateFormat + u']';
    s.timeFormat = u'[' + s.timeFormat + u']';
    s.dateFormat = u'[' + s.dateFormat + u']';
}

} // namespace qel

#include "DateTimeComposition.h"

namespace qel {

void composeDateFormat(DateTimeFormatSettings& s, NameTables& names) {
    applyNameTableChoice(names, s.monthNumbering, s.dayNames);

    const bool year = !s.yearItem.isEmpty();
    const bool month = !s.monthItem.isEmpty();
    const bool day = !s.dayItem.isEmpty();
    if (!s.weekdayItem.isEmpty() && (year || month || day))
        s.weekdayItem.prepend(u' ');

    QString date;
    if (s.unitMode == 0 && s.dateOrder == 1) {
        if (day && (year || month))
            s.dayItem.append(u'-');
        if (month && year)
            s.monthItem.append(u'-');
        date = s.dayItem + s.monthItem + s.yearItem + s.weekdayItem;
    } else if (s.unitMode == 0 && s.dateOrder == 0) {
        if (month && year)
            s.monthItem.prepend(u'-');
        if (day && (year || month))
            s.dayItem.prepend(u'-');
        date = s.yearItem + s.monthItem + s.dayItem + s.weekdayItem;
    } else if (s.unitMode == 1 && s.dateOrder == 1) {
        date = s.dayItem + s.monthItem + s.yearItem + s.weekdayItem;
    } else if (s.unitMode == 1 && s.dateOrder == 0) {
        date = s.yearItem + s.monthItem + s.dayItem + s.weekdayItem;
    }
    s.dateFormat = date;
}

void composeTimeFormat(DateTimeFormatSettings& s) {
    const bool hour = !s.hourItem.isEmpty();
    const bool minute = !s.minuteItem.isEmpty();
    const bool second = !s.secondItem.isEmpty();

    QString time;
    if (s.unitMode == 0) {
        if (hour && (minute || second))
            s.hourItem.append(u':');
        if (minute && second)
            s.minuteItem.append(u':');
        time = s.hourItem + s.minuteItem + s.secondItem;
    } else if (s.unitMode == 1) {
        time = s.hourItem + s.minuteItem + s.secondItem;
    }
    switch (s.amPmMode) {
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

void composeFormats(DateTimeFormatSettings& s, NameTables& names) {
    composeDateFormat(s, names);
    composeTimeFormat(s);
    if (s.dateTimeOrder == 0)
        s.dateTimeFormat = u'[' + s.dateFormat + u' ' + s.timeFormat + u']';
    else if (s.dateTimeOrder == 1)
        s.dateTimeFormat = u'[' + s.timeFormat + u' ' + s.dateFormat + u']';
    s.timeFormat = u'[' + s.timeFormat + u']';
    s.dateFormat = u'[' + s.dateFormat + u']';
}

} // namespace qel

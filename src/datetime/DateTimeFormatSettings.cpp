#include "DateTimeFormatSettings.h"

#include "settings/IniFile.h"

namespace qel {

namespace {

// One table drives both directions, so the stored order cannot drift between them.
template <typename Settings, typename OnString, typename OnInteger>
void forEachKey(Settings& s, OnString onString, OnInteger onInteger) {
    onString(u"YO", s.yearItem);
    onString(u"MO", s.monthItem);
    onString(u"DO", s.dayItem);
    onString(u"DNO", s.weekdayItem);
    onString(u"OO", s.hourItem);
    onString(u"MiO", s.minuteItem);
    onString(u"SO", s.secondItem);
    onInteger(u"Credit", s.unitMode);
    onInteger(u"AMPM", s.amPmMode);
    onInteger(u"MonthNumberring", s.monthNumbering);
    onInteger(u"DayNames", s.dayNames);
    onInteger(u"DateSortType", s.dateOrder);
    onInteger(u"DateTimeSortType", s.dateTimeOrder);
    onString(u"DateFormat", s.dateFormat);
    onString(u"TimeFormat", s.timeFormat);
    onString(u"Date&TimeFormat", s.dateTimeFormat);
}

} // namespace

DateTimeFormatSettings readDateTimeFormat(const IniFile& file) {
    DateTimeFormatSettings s;
    const QStringView section(kDateTimeFormatSection);
    forEachKey(
        s,
        [&](const char16_t* key, QString& value) {
            value = file.readString(section, QStringView(key), value);
        },
        [&](const char16_t* key, int& value) {
            value = file.readInteger(section, QStringView(key), value);
        });
    return s;
}

void writeDateTimeFormat(IniFile& file, const DateTimeFormatSettings& settings) {
    const QStringView section(kDateTimeFormatSection);
    forEachKey(
        settings,
        [&](const char16_t* key, const QString& value) {
            file.writeString(section, QStringView(key), value);
        },
        [&](const char16_t* key, int value) {
            file.writeInteger(section, QStringView(key), value);
        });
}

} // namespace qel

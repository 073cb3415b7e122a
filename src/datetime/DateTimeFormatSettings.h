#pragma once

#include <QString>

namespace qel {

class IniFile;

// What the date and time insertion commands insert: seven item patterns, the modes
// chosen in the format dialog and the three composed patterns. Stored in the section
// "Date&TimeFormat" of the main window's settings file.
struct DateTimeFormatSettings {
    // The item patterns (keys YO, MO, DO, DNO, OO, MiO, SO).
    QString yearItem = QStringLiteral("yyyy");
    QString monthItem = QStringLiteral("mm");
    QString dayItem = QStringLiteral("dd");
    QString weekdayItem = QStringLiteral("'('aaa')'");
    QString hourItem = QStringLiteral("hh");
    QString minuteItem = QStringLiteral("nn");
    QString secondItem = QStringLiteral("ss");
    int unitMode = 0;       // key "Credit": 1 units (年, 時, ...), 0 separators
    int amPmMode = 4;       // key "AMPM": 0 "AM/PM", 1 "am/pm", 2 午前/午後, else 24-hour
    int monthNumbering = 0; // key "MonthNumberring"
    int dayNames = 0;
    int dateOrder = 0;     // key "DateSortType": 0 year first, 1 day first
    int dateTimeOrder = 0; // key "DateTimeSortType": 0 date first, 1 time first
    QString dateFormat = QStringLiteral("[yyyy'-'mm'-'dd'('aaa')']");
    QString timeFormat = QStringLiteral("[hh:nnAM/PM]");
    QString dateTimeFormat = QStringLiteral("[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]");

    friend bool operator==(const DateTimeFormatSettings&, const DateTimeFormatSettings&) = default;
};

inline constexpr char16_t kDateTimeFormatSection[] = u"Date&TimeFormat";

// Reads the sixteen keys (a missing key keeps its default).
DateTimeFormatSettings readDateTimeFormat(const IniFile& file);
// Writes the sixteen keys in their stored order.
void writeDateTimeFormat(IniFile& file, const DateTimeFormatSettings& settings);

} // namespace qel

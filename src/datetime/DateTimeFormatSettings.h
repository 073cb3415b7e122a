#pragma once

#include <QString>

namespace qel {

class IniFile;

// What the date and time insertion commands insert: seven item patterns, the modes
// chosen in the format dialog and the three composed patterns. Stored in the section
// "Date&TimeFormat" of the main window's settings file.
struct DateTimeFormatSettings {
    QString yo = QStringLiteral("yyyy");
    QString mo = QStringLiteral("mm");
    QString dayItem = QStringLiteral("dd"); // key "DO"
    QString dno = QStringLiteral("'('aaa')'");
    QString oo = QStringLiteral("hh");
    QString mio = QStringLiteral("nn");
    QString so = QStringLiteral("ss");
    int credit = 0;
    int ampm = 4;
    int monthNumbering = 0; // key "MonthNumberring"
    int dayNames = 0;
    int dateSortType = 0;
    int dateTimeSortType = 0;
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

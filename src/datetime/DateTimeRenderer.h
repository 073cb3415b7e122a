#pragma once

#include "EraCalendar.h"
#include "NameTables.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace qel {

// Renders a date/time pattern. The pattern language, read left to right:
//
//   yy / yyyy        year, last two digits / four digits (a run of one or two y is the
//                    short form, three or more the long one)
//   m, mm            month number; directly after an hour token (only non-letters and
//                    quoted text between) the minute instead
//   mmm / mmmm       short / long month name
//   d, dd            day of the month
//   ddd, aaa         short weekday name;  dddd, aaaa  long weekday name
//   g / gg           first character / whole name of the era;  e, ee  year of the era
//   h, hh            hour; 1 to 12 when the first a or A after it (outside quotes)
//                    begins "am/pm" or "ampm", otherwise 0 to 23
//   n, nn / s, ss    minute / second
//   am/pm            "am" or "pm", each letter in the case the pattern has
//   ampm             the morning or afternoon designator
//   '...' "..."      copied without the quotes (an unclosed quote runs to the end)
//
// Token letters match in either case, and a run of one letter (in any mix of cases) is
// one token. Single-digit forms have no leading zero, double ones are padded to two.
// Only ASCII letters make tokens: any other character, a double-byte one above all,
// is copied as it stands. Letters that make no token are copied too.
//
// Dates before the first era have no era: "g" and "gg" give nothing, "e" and "ee" the
// year of the Western calendar.
QString renderDateTime(QStringView pattern, const QDateTime& at, const NameTables& names,
                       const EraCalendar& eras = EraCalendar::japanese());

// With the name tables in force (currentNameTables()).
QString renderDateTime(QStringView pattern, const QDateTime& at);

} // namespace qel

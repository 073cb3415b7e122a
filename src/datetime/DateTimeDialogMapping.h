#pragma once

#include "DateTimeFormatSettings.h"

namespace qel {

// The states of the format dialog's controls, one field for each control. A
// radio pair is two flags; the dialog never checks both, and should a record do so the
// first of the pair wins.
struct DateTimeDialogState {
    // year
    bool showYear = false;
    bool westernYear = false;
    bool eraYear = false;
    bool twoDigitYear = false;
    bool shortEraName = false;
    // month
    bool showMonth = false;
    bool numericMonth = false;
    bool japaneseMonth = false;
    bool englishMonth = false;
    bool zeroPadMonth = false;
    bool shortMonthName = false;
    // day
    bool showDay = false;
    bool zeroPadDay = false;
    // weekday
    bool showWeekday = false;
    bool kanjiWeekday = false;
    bool englishWeekday = false;
    bool shortWeekday = false;
    bool weekdayInParentheses = false;
    // hour
    bool showHour = false;
    bool zeroPadHour = false;
    bool twelveHour = false;
    bool amPm = false;
    bool japaneseAmPm = false;
    bool lowercaseAmPm = false;
    // minute, second
    bool showMinute = false;
    bool zeroPadMinute = false;
    bool showSecond = false;
    bool zeroPadSecond = false;
    // whole dialog
    bool withUnits = false;
    int dateOrder = 0;     // radio group index
    int dateTimeOrder = 0; // radio group index

    friend bool operator==(const DateTimeDialogState&, const DateTimeDialogState&) = default;
};

// What the dialog shows for `settings` when it opens. Items are recognised by
// case-sensitive substring search, so separators added by composition, and quotes or
// blanks lost through the settings file, do not change the result. Stored indices are
// passed on as they are.
DateTimeDialogState dialogStateFor(const DateTimeFormatSettings& settings);

// OK, before composition: the unit mode, the seven item patterns rebuilt from the
// controls (an unchecked item becomes empty) and the two orders go into `settings`.
// The month, weekday and hour items also set the naming modes and the 12-hour mark
// they stand for; an item that is not shown leaves its mode alone.
void applyDialogState(const DateTimeDialogState& state, DateTimeFormatSettings& settings);

} // namespace qel

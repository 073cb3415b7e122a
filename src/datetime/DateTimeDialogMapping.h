#pragma once

#include "DateTimeFormatSettings.h"

namespace qel {

// The states of the format dialog's controls, each field named after its control. A
// radio pair is two flags; the dialog never checks both, and should a record do so the
// first of the pair wins.
struct DateTimeDialogState {
    // year
    bool YearCheck = false;
    bool Seireki = false;
    bool Wareki = false;
    bool Seireki2keta = false;
    bool GengouRyaku = false;
    // month
    bool MonthCheck = false;
    bool MonthSuuji = false;
    bool MonthWareki = false;
    bool MonthEigo = false;
    bool Month0Hyouji = false;
    bool EigoRyaku = false;
    // day
    bool DayCheck = false;
    bool Day0Hyouji = false;
    // weekday
    bool YoubiCheck = false;
    bool YoubiKanji = false;
    bool YoubiEigo = false;
    bool YoubiRyaku = false;
    bool YoubiKakko = false;
    // hour
    bool JiCheck = false;
    bool Ji0Hyouji = false;
    bool Ji12 = false;
    bool AMPM = false;
    bool GozennGogo = false;
    bool AMPMKomoji = false;
    // minute, second
    bool FunCheck = false;
    bool Fun0Hyouji = false;
    bool ByouCheck = false;
    bool Byou0Hyouji = false;
    // whole dialog
    bool Tanni = false;
    int DateJunjo = 0;     // radio group index
    int DateTimeJunjo = 0; // radio group index

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

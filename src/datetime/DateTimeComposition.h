#pragma once

#include "DateTimeFormatSettings.h"
#include "NameTables.h"

namespace qel {

// Composition of the three insertion patterns from the item patterns and modes. The
// separators and spaces it adds are written back into the item patterns (the format
// dialog rebuilds the items from its controls before composing, so they never pile up).

// Loads the name tables the modes select into `names`, then sets `dateFormat` to the
// date pattern without its brackets.
void composeDateFormat(DateTimeFormatSettings& settings, NameTables& names);
// Sets `timeFormat` to the time pattern without its brackets, 12-hour mark included.
void composeTimeFormat(DateTimeFormatSettings& settings);
// Both of the above, then the combined pattern in the chosen order, then brackets
// around all three.
void composeFormats(DateTimeFormatSettings& settings, NameTables& names);

} // namespace qel

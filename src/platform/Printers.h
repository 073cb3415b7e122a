#pragma once

namespace qel {

// Number of printers installed; tests set it.
int installedPrinterCount();
void setInstalledPrinterCountForTesting(int count); // negative: ask the system again

} // namespace qel

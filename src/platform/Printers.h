#pragma once

#include <functional>

namespace qel {

// Starts counting the installed printers on another thread, unless it has begun
// already. Asking the print system takes a while (its plugin is loaded, the print
// server asked): the windows are not kept waiting for it.
void startCountingPrinters();
// Whether installedPrinterCount() answers without waiting: the count is done, or a
// test set it.
bool printerCountReady();
// Number of printers installed; waits for a count that was started. Tests set it.
int installedPrinterCount();
void setInstalledPrinterCountForTesting(int count); // negative: ask the system again
// Tests: `count` stands in for the print system (nullptr: ask the print system).
void setPrinterCounterForTesting(std::function<int()> count);

} // namespace qel

#pragma once

namespace qel {

// Starts counting the installed printers on another thread. Asking the print system
// takes a while (its plugin is loaded, the print server asked), and the windows have
// other work meanwhile; installedPrinterCount() then waits for the answer.
void startCountingPrinters();
// Number of printers installed; tests set it.
int installedPrinterCount();
void setInstalledPrinterCountForTesting(int count); // negative: ask the system again

} // namespace qel

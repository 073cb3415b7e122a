#include "platform/Printers.h"

#include <QPrinterInfo>

#include <future>

namespace qel {

namespace {

int overridden = -1;
std::future<int> counting;

int countPrinters() {
    return int(QPrinterInfo::availablePrinterNames().size());
}

} // namespace

void startCountingPrinters() {
    if (overridden < 0 && !counting.valid())
        counting = std::async(std::launch::async, countPrinters);
}

int installedPrinterCount() {
    if (overridden >= 0)
        return overridden;
    // The count started earlier answers once; later calls ask again.
    return counting.valid() ? counting.get() : countPrinters();
}

void setInstalledPrinterCountForTesting(int count) {
    overridden = count < 0 ? -1 : count;
}

} // namespace qel

#include "platform/Printers.h"

#include <QPrinterInfo>

#include <chrono>
#include <future>

namespace qel {

namespace {

int overridden = -1;
std::function<int()> counter;
std::future<int> counting;

int countPrinters() {
    return counter ? counter() : int(QPrinterInfo::availablePrinterNames().size());
}

} // namespace

void startCountingPrinters() {
    if (overridden < 0 && !counting.valid())
        counting = std::async(std::launch::async, countPrinters);
}

bool printerCountReady() {
    return overridden >= 0 || (counting.valid() && counting.wait_for(std::chrono::seconds(0)) ==
                                                       std::future_status::ready);
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

void setPrinterCounterForTesting(std::function<int()> count) {
    counter = std::move(count);
}

} // namespace qel

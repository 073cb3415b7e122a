#include "platform/Printers.h"

#include <QPrinterInfo>

namespace qel {

namespace {
int overridden = -1;
}

int installedPrinterCount() {
    if (overridden >= 0)
        return overridden;
    return int(QPrinterInfo::availablePrinterNames().size());
}

void setInstalledPrinterCountForTesting(int count) {
    overridden = count < 0 ? -1 : count;
}

} // namespace qel

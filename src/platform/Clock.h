#pragma once

#include <QDateTime>

namespace qel {

// The current local time; tests pin it.
QDateTime now();
void pinClock(const QDateTime& at); // an invalid QDateTime unpins
} // namespace qel

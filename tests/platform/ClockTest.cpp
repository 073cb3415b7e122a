#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(Clock, PinnedTimeStaysUntilUnpinned) {
    const QDateTime noon(QDate(2024, 2, 29), QTime(12, 34, 56));
    pinClock(noon);
    EXPECT_EQ(now(), noon);
    EXPECT_EQ(now(), noon);

    pinClock(QDateTime());
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime current = now();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_LE(before, current);
    EXPECT_LE(current, after);
}

} // namespace
} // namespace qel

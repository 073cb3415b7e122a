#include "EraCalendar.h"

#include <utility>

namespace qel {

EraCalendar::EraCalendar(std::vector<Era> eras) : eras_(std::move(eras)) {}

const EraCalendar& EraCalendar::japanese() {
    static const EraCalendar calendar({
        {QStringLiteral("明治"), QDate(1868, 1, 1)},
        {QStringLiteral("大正"), QDate(1912, 7, 30)},
        {QStringLiteral("昭和"), QDate(1926, 12, 25)},
        {QStringLiteral("平成"), QDate(1989, 1, 8)},
        {QStringLiteral("令和"), QDate(2019, 5, 1)},
    });
    return calendar;
}

std::optional<EraCalendar::EraYear> EraCalendar::eraOf(QDate date) const {
    if (!date.isValid())
        return std::nullopt;
    for (auto era = eras_.rbegin(); era != eras_.rend(); ++era) {
        if (date >= era->firstDay)
            return EraYear{era->name, date.year() - era->firstDay.year() + 1};
    }
    return std::nullopt;
}

} // namespace qel

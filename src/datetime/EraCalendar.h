#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace qel {

// A calendar of named eras, each running from its first day until the next begins.
class EraCalendar {
public:
    struct Era {
        QString name;
        QDate firstDay;
    };
    struct EraYear {
        QString name;
        int year = 0; // the era's first day falls in year 1
    };

    // `eras` in the order they began.
    explicit EraCalendar(std::vector<Era> eras);

    // 明治, 大正, 昭和, 平成 and 令和.
    static const EraCalendar& japanese();

    // The era in force on `date` and the year within it; nullopt before the first era
    // (and for an invalid date).
    std::optional<EraYear> eraOf(QDate date) const;

    const std::vector<Era>& eras() const { return eras_; }

private:
    std::vector<Era> eras_;
};

} // namespace qel

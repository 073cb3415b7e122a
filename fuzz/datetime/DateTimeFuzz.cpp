// The date/time pattern renderer on any pattern, date and naming choice: it ends, its
// output is bounded by the pattern's length, it gives the same text each time, and
// quoted text comes out as it stands.
//
// Input: month numbering byte, weekday naming byte, four bytes of Julian day, four
// bytes of milliseconds into the day, a field of text to quote, then the pattern.
#include "../FuzzSupport.h"

#include "datetime/DateTimeRenderer.h"
#include "datetime/NameTables.h"
#include "text/Cp932.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>

using namespace qel;
using qel::fuzz::FuzzInput;

namespace {

qsizetype longestName(const NameTables& names) {
    qsizetype longest = std::max(names.amDesignator.size(), names.pmDesignator.size());
    for (const auto* table : {&names.longMonthNames, &names.shortMonthNames})
        for (const QString& name : *table)
            longest = std::max(longest, name.size());
    for (const auto* table : {&names.longDayNames, &names.shortDayNames})
        for (const QString& name : *table)
            longest = std::max(longest, name.size());
    for (const EraCalendar::Era& era : EraCalendar::japanese().eras())
        longest = std::max(longest, era.name.size());
    return longest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    static const NameTables system = systemNameTables();
    NameTables names = system;
    setJapaneseDesignators(names);
    const int monthNumbering = in.byte() % 3;
    const int dayNames = in.byte() % 2;
    applyNameTableChoice(names, monthNumbering, dayNames);

    const qint64 julianDay = qint32(quint32(in.number16()) | quint32(in.number16()) << 16);
    const int msecs = int((quint32(in.number16()) | quint32(in.number16()) << 16) % 86400000u);
    const QDateTime at(QDate::fromJulianDay(julianDay), QTime::fromMSecsSinceStartOfDay(msecs),
                       Qt::UTC);

    QString literal = cp932::decodeText(in.field());
    const QString pattern = cp932::decodeText(in.rest());

    const QString out = renderDateTime(pattern, at, names);
    // A token of one letter may give a whole name or a year of up to eleven characters.
    const qsizetype perCharacter = std::max<qsizetype>(longestName(names), 11);
    FUZZ_CHECK(out.size() <= pattern.size() * perCharacter);
    FUZZ_CHECK_EQ(renderDateTime(pattern, at, names), out);

    for (const QChar quote : {u'\'', u'"'}) {
        literal.remove(quote);
        FUZZ_CHECK_EQ(renderDateTime(QString(quote + literal + quote), at, names), literal);
    }
    return 0;
}

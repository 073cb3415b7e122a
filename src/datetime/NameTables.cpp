#include "NameTables.h"

#include <QLocale>

namespace qel {

namespace {

template <std::size_t N>
void load(std::array<QString, N>& table, const std::array<const char16_t*, N>& names) {
    for (std::size_t i = 0; i < N; ++i)
        table[i] = QString::fromUtf16(names[i]);
}

} // namespace

NameTables systemNameTables() {
    const QLocale locale = QLocale::system();
    NameTables names;
    for (int month = 1; month <= 12; ++month) {
        names.longMonthNames[month - 1] = locale.monthName(month, QLocale::LongFormat);
        names.shortMonthNames[month - 1] = locale.monthName(month, QLocale::ShortFormat);
    }
    // QLocale counts Monday as 1 and Sunday as 7; the tables start on Sunday.
    for (int i = 0; i < 7; ++i) {
        const int day = i == 0 ? 7 : i;
        names.longDayNames[i] = locale.dayName(day, QLocale::LongFormat);
        names.shortDayNames[i] = locale.dayName(day, QLocale::ShortFormat);
    }
    names.amDesignator = locale.amText();
    names.pmDesignator = locale.pmText();
    return names;
}

NameTables& currentNameTables() {
    static NameTables names = systemNameTables();
    return names;
}

void setCurrentNameTables(const NameTables& names) {
    currentNameTables() = names;
}

void setJapaneseMonthNames(NameTables& names) {
    load(names.longMonthNames, {u"睦月", u"如月", u"弥生", u"卯月", u"皐月", u"水無月", u"文月",
                                u"葉月", u"長月", u"神無月", u"霜月", u"師走"});
}

void setEnglishMonthNames(NameTables& names) {
    load(names.longMonthNames,
         {u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August",
          u"September", u"Octorber", u"November", u"December"});
    load(names.shortMonthNames, {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug",
                                 u"Sep", u"Oct", u"Nov", u"Dec"});
}

void setJapaneseDayNames(NameTables& names) {
    load(names.longDayNames,
         {u"日曜日", u"月曜日", u"火曜日", u"水曜日", u"木曜日", u"金曜日", u"土曜日"});
    load(names.shortDayNames, {u"日", u"月", u"火", u"水", u"木", u"金", u"土"});
}

void setEnglishDayNames(NameTables& names) {
    load(names.longDayNames,
         {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"});
    load(names.shortDayNames, {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"});
}

void setJapaneseDesignators(NameTables& names) {
    names.amDesignator = QStringLiteral("午前");
    names.pmDesignator = QStringLiteral("午後");
}

void applyNameTableChoice(NameTables& names, int monthNumbering, int dayNames) {
    if (monthNumbering == 1)
        setJapaneseMonthNames(names);
    else if (monthNumbering == 2)
        setEnglishMonthNames(names);
    if (dayNames == 0)
        setJapaneseDayNames(names);
    else if (dayNames == 1)
        setEnglishDayNames(names);
}

} // namespace qel

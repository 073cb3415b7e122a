#pragma once

#include <QString>

#include <array>

namespace qel {

// The month, weekday and morning/afternoon names that rendering draws on.
struct NameTables {
    std::array<QString, 12> longMonthNames;  // January first; "mmmm"
    std::array<QString, 12> shortMonthNames; // "mmm"
    std::array<QString, 7> longDayNames;     // Sunday first; "dddd", "aaaa"
    std::array<QString, 7> shortDayNames;    // "ddd", "aaa"
    QString amDesignator;                    // "ampm" before noon
    QString pmDesignator;                    // "ampm" from noon on

    friend bool operator==(const NameTables&, const NameTables&) = default;
};

// The names of the system locale: what is in force before the program sets anything.
NameTables systemNameTables();

// The tables every rendering uses unless it is given others. They start as the system
// locale's names; the program changes them only on the user-interface thread.
NameTables& currentNameTables();
void setCurrentNameTables(const NameTables& names);

// Traditional Japanese month names into the long month names; short names stay.
void setJapaneseMonthNames(NameTables& names);
// English month names into both month tables.
void setEnglishMonthNames(NameTables& names);
// Japanese weekday names into both weekday tables.
void setJapaneseDayNames(NameTables& names);
// English weekday names into both weekday tables.
void setEnglishDayNames(NameTables& names);
// "午前" and "午後".
void setJapaneseDesignators(NameTables& names);

// Loads the tables the month and weekday naming modes select: month numbering 1 the
// traditional names, 2 the English ones; weekday naming 0 Japanese, 1 English. Any
// other value leaves that table as it is (numeric months never show a name).
void applyNameTableChoice(NameTables& names, int monthNumbering, int dayNames);

} // namespace qel

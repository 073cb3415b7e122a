#include "datetime/DateTimeRenderer.h"
#include "../TestPrinters.h"
#include "datetime/NameTables.h"
#include "text/Cp932.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Stand-in for a locale's own names, so no test depends on the machine's locale.
NameTables localeLikeTables() {
    NameTables names;
    for (int i = 0; i < 12; ++i) {
        names.longMonthNames[i] = u"L%1"_s.arg(i + 1);
        names.shortMonthNames[i] = u"%1月"_s.arg(i + 1);
    }
    for (int i = 0; i < 7; ++i) {
        names.longDayNames[i] = u"LD%1"_s.arg(i);
        names.shortDayNames[i] = u"SD%1"_s.arg(i);
    }
    names.amDesignator = u"AMX"_s;
    names.pmDesignator = u"PMX"_s;
    return names;
}

// The tables as the program sets them with Japanese weekday names.
NameTables japaneseTables() {
    NameTables names = localeLikeTables();
    setJapaneseDayNames(names);
    setJapaneseDesignators(names);
    return names;
}

struct Case {
    QDateTime when;
    const char16_t* pattern;
    const char16_t* expected;
};

void expectRendered(std::initializer_list<Case> cases, const NameTables& names = japaneseTables()) {
    for (const Case& c : cases)
        EXPECT_EQ(renderDateTime(QString::fromUtf16(c.pattern), c.when, names),
                  QString::fromUtf16(c.expected))
            << "pattern " << QString::fromUtf16(c.pattern).toStdString();
}

const QDateTime kWednesday = at(2002, 5, 1, 15, 4, 9);
const QDateTime kMonday = at(2005, 7, 4, 8, 5, 3);

TEST(DateTimeRenderer, TheStoredPatternsAndHoursAroundMidnightAndNoon) {
    expectRendered({
        {kWednesday, u"[yyyy-mm-dd (aaa) hh:nn:ss]", u"[2002-05-01 (水) 15:04:09]"},
        {kWednesday, u"[h'時'nn'分' ampm]", u"[3時04分 午後]"},
        {kWednesday, u"[hh:nnAM/PM]", u"[03:04PM]"},
        {kWednesday, u"[yyyy'-'mm'-'dd'('aaa')']", u"[2002-05-01(水)]"},
        {kWednesday, u"", u""},
        {at(2024, 3, 9), u"hh:nnAM/PM h ampm hh:nn:ss h:n:s", u"12:00AM 12 午前 00:00:00 0:0:0"},
        {at(2024, 3, 9, 12), u"hh:nnAM/PM h ampm hh", u"12:00PM 12 午後 12"},
        {at(2024, 3, 9, 23, 59, 59), u"hh:nn:ssam/pm", u"11:59:59pm"},
        {at(2024, 3, 9, 23, 59, 59), u"hh:nn:ss", u"23:59:59"},
        {at(2024, 3, 9, 11, 59, 59), u"h ampm", u"11 午前"},
        {at(2024, 3, 9, 11), u"AM/PM am/pm Am/pM", u"AM am Am"},
        {at(2024, 3, 9, 23), u"AM/PM am/pm Am/pM", u"PM pm pM"},
    });
}

TEST(DateTimeRenderer, TwelveHourClockOnlyWhenTheFirstALaterBeginsAMark) {
    const QDateTime sunday = at(2024, 3, 10, 15, 4, 0);
    expectRendered({
        // The first a after the hour begins the weekday name, not a mark.
        {sunday, u"hh:nn aaa ampm", u"15:04 日 午後"},
        // Quoted text is skipped while looking for the mark.
        {sunday, u"hh'a'AMPM", u"03a午後"},
        {sunday, u"hh\"at\" am/pm", u"03at pm"},
        // A mark before the hour does not make it a 12-hour one.
        {sunday, u"AM/PM hh", u"PM 15"},
        // Time first, date after: the date's weekday does not count as a mark.
        {sunday, u"[hh:nn:ss yyyy-mm-dd (aaa)]", u"[15:04:00 2024-03-10 (日)]"},
    });
}

TEST(DateTimeRenderer, EachEraFromItsFirstDay) {
    const char16_t* pattern = u"gg e / g ee";
    expectRendered({
        {at(1868, 1, 1), pattern, u"明治 1 / 明 01"},
        {at(1912, 7, 29), pattern, u"明治 45 / 明 45"},
        {at(1912, 7, 30), pattern, u"大正 1 / 大 01"},
        {at(1926, 12, 24), pattern, u"大正 15 / 大 15"},
        {at(1926, 12, 25), pattern, u"昭和 1 / 昭 01"},
        {at(1989, 1, 7), pattern, u"昭和 64 / 昭 64"},
        {at(1989, 1, 8), pattern, u"平成 1 / 平 01"},
        {at(2019, 4, 30), pattern, u"平成 31 / 平 31"},
        {at(2019, 5, 1), pattern, u"令和 1 / 令 01"},
        {at(2026, 12, 6), pattern, u"令和 8 / 令 08"},
        // Before the first era: the Western year without an era name.
        {at(1867, 12, 31), u"[gge'年'm'月'd'日']", u"[1867年12月31日]"},
        {at(1600, 10, 21), u"<g><gg><ee>", u"<><><1600>"},
    });
}

TEST(DateTimeRenderer, MonthAndWeekdayNamesComeFromTheTablesInForce) {
    NameTables english = localeLikeTables();
    setEnglishMonthNames(english);
    setEnglishDayNames(english);
    const QDateTime october = at(2023, 10, 9); // a Monday
    expectRendered({{october, u"mmmm/mmm/m/mm", u"Octorber/Oct/10/10"},
                    {october, u"dddd ddd aaaa aaa", u"Monday Mon Monday Mon"}},
                   english);
    NameTables traditional = localeLikeTables();
    setJapaneseMonthNames(traditional);
    // Only the long month names change; the short ones stay the locale's.
    expectRendered({{at(2023, 6, 3), u"mmmm mmm m", u"水無月 6月 6"}}, traditional);
    // The weekday tokens of both letters follow the weekday table, whatever its language.
    expectRendered({{at(2023, 6, 3), u"ddd aaa dddd aaaa", u"土 土 土曜日 土曜日"}});
}

TEST(DateTimeRenderer, TokensQuotesAndTheMinute) {
    expectRendered({
        // Either letter case; a run of one letter in mixed case is one token.
        {kMonday, u"yyyy yy mm m dd d aaa aaaa hh h nn n ss s gg g ee e",
         u"2005 05 07 7 04 4 月 月曜日 08 8 05 5 03 3 平成 平 17 17"},
        {kMonday, u"YYYY YY MM M DD D AAA AAAA HH H NN N SS S GG G EE E",
         u"2005 05 07 7 04 4 月 月曜日 08 8 05 5 03 3 平成 平 17 17"},
        {kMonday, u"yYyY-Mm-dD", u"2005-07-04"},
        {kMonday, u"HH:Mm AmPm", u"08:05 午前"},
        // Letters that make no token, and unusual runs.
        {kMonday, u"y|yyy|yyyyy", u"05|2005|2005"},
        {kMonday, u"[ddddd mmmmm]", u"[月曜日 L7]"},
        {kMonday, u"a aa bcxz", u"a aa bcxz"},
        {at(812, 3, 1), u"yyyy", u"0812"},
        // Quoted text is copied without its quotes; each kind may hold the other; an
        // unclosed quote runs to the end.
        {kWednesday, u"yyyy'年' 'yyyy' \"hh:nn\"", u"2002年 yyyy hh:nn"},
        {kWednesday, u"'say \"d\"' \"it's\"", u"say \"d\" it's"},
        {kWednesday, u"d''d", u"11"},
        {kWednesday, u"d 'mm dd", u"1 mm dd"},
        // m after an hour token is the minute, also across quoted text and other
        // non-letters; another token ends that, and only the numeric forms change.
        {kWednesday, u"[hh mm] [yyyy mm] h:m", u"[15 04] [2002 05] 15:4"},
        {kWednesday, u"hh'時'mm'分' hh時mm", u"15時04分 15時04"},
        {kWednesday, u"hh:nn mm|hh:mm:mm|hh mmm", u"15:04 05|15:04:05|15 5月"},
    });
}

TEST(DateTimeRenderer, DoubleByteCharactersAreNeverTakenForTokens) {
    // In code page 932 these characters end in a byte that reads as an ASCII letter or
    // bracket; a renderer working on bytes would take them for tokens.
    const QString kanji = u"年電土知刺餌市吉影ボ表"_s;
    const QByteArray bytes = cp932::encode(kanji);
    ASSERT_EQ(bytes.size(), 2 * kanji.size());
    EXPECT_EQ(bytes.mid(0, 2), QByteArray("\x94N"));  // 年
    EXPECT_EQ(bytes.mid(18, 2), QByteArray("\x83{")); // ボ
    expectRendered({
        {kWednesday, u"年電土知刺餌市吉影ボ表", u"年電土知刺餌市吉影ボ表"},
        {kWednesday, u"yyyy年mm月dd日", u"2002年05月01日"},
        // 餌 ends in "a", which would begin "ampm" here and make the hour a 12-hour one.
        {kWednesday, u"hh:nn餌mpm", u"15:04餌5p5"},
        {kWednesday, u"ｙｙｙｙ", u"ｙｙｙｙ"}, // full-width letters are text too
    });
}

TEST(NameTables, SelectingTablesByMode) {
    const NameTables base = localeLikeTables();
    NameTables names = base;
    applyNameTableChoice(names, 1, 0);
    EXPECT_EQ(names.longMonthNames[0], u"睦月"_s);
    EXPECT_EQ(names.longMonthNames[11], u"師走"_s);
    EXPECT_EQ(names.shortMonthNames, base.shortMonthNames);
    EXPECT_EQ(names.shortDayNames[0], u"日"_s);
    EXPECT_EQ(names.longDayNames[6], u"土曜日"_s);
    applyNameTableChoice(names, 2, 1);
    EXPECT_EQ(names.longMonthNames[9], u"Octorber"_s);
    EXPECT_EQ(names.shortMonthNames[4], u"May"_s);
    EXPECT_EQ(names.longDayNames[0], u"Sunday"_s);
    EXPECT_EQ(names.shortDayNames[3], u"Wed"_s);
    // Numeric months and unknown modes leave the last names in place.
    const NameTables english = names;
    applyNameTableChoice(names, 0, 5);
    EXPECT_EQ(names, english);
    EXPECT_EQ(names.amDesignator, base.amDesignator);
    // The process-wide tables start as the system locale's.
    EXPECT_EQ(currentNameTables(), systemNameTables());
}

} // namespace
} // namespace qel

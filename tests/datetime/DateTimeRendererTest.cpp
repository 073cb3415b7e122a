#include "datetime/DateTimeRenderer.h"
#include "QStringPrinter.h"
#include "datetime/NameTables.h"
#include "text/Cp932.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace qel {
namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Stand-in for a locale's own names, so no test depends on the machine's locale.
NameTables localeLikeTables() {
    NameTables names;
    for (int i = 0; i < 12; ++i) {
        names.longMonthNames[i] = QStringLiteral("L%1").arg(i + 1);
        names.shortMonthNames[i] = QStringLiteral("%1月").arg(i + 1);
    }
    for (int i = 0; i < 7; ++i) {
        names.longDayNames[i] = QStringLiteral("LD%1").arg(i);
        names.shortDayNames[i] = QStringLiteral("SD%1").arg(i);
    }
    names.amDesignator = QStringLiteral("AMX");
    names.pmDesignator = QStringLiteral("PMX");
    return names;
}

// The tables as the program sets them with Japanese weekday names.
NameTables japaneseTables() {
    NameTables names = localeLikeTables();
    SetJapaneseYoubiName(names);
    setJapaneseDesignators(names);
    return names;
}

QString render(const QString& pattern, const QDateTime& when,
               const NameTables& names = japaneseTables()) {
    return renderDateTime(pattern, when, names);
}

TEST(DateTimeRenderer, RendersTheDocumentedExamples) {
    const QDateTime when = at(2002, 5, 1, 15, 4, 9); // a Wednesday
    EXPECT_EQ(render(QStringLiteral("[yyyy-mm-dd (aaa) hh:nn:ss]"), when),
              QStringLiteral("[2002-05-01 (水) 15:04:09]"));
    EXPECT_EQ(render(QStringLiteral("[h'時'nn'分' ampm]"), when), QStringLiteral("[3時04分 午後]"));
    EXPECT_EQ(render(QStringLiteral("[hh:nnAM/PM]"), when), QStringLiteral("[03:04PM]"));
    // The stored default date pattern, quotes and all.
    EXPECT_EQ(render(QStringLiteral("[yyyy'-'mm'-'dd'('aaa')']"), when),
              QStringLiteral("[2002-05-01(水)]"));
    EXPECT_EQ(render(QString(), when), QString());
}

TEST(DateTimeRenderer, HoursAroundMidnightAndNoon) {
    const QDateTime midnight = at(2024, 3, 9, 0, 0, 0);
    EXPECT_EQ(render(QStringLiteral("hh:nnAM/PM"), midnight), QStringLiteral("12:00AM"));
    EXPECT_EQ(render(QStringLiteral("h ampm"), midnight), QStringLiteral("12 午前"));
    EXPECT_EQ(render(QStringLiteral("hh:nn:ss"), midnight), QStringLiteral("00:00:00"));
    EXPECT_EQ(render(QStringLiteral("h:n:s"), midnight), QStringLiteral("0:0:0"));

    const QDateTime noon = at(2024, 3, 9, 12, 0, 0);
    EXPECT_EQ(render(QStringLiteral("hh:nnAM/PM"), noon), QStringLiteral("12:00PM"));
    EXPECT_EQ(render(QStringLiteral("h ampm"), noon), QStringLiteral("12 午後"));
    EXPECT_EQ(render(QStringLiteral("hh"), noon), QStringLiteral("12"));

    const QDateTime late = at(2024, 3, 9, 23, 59, 59);
    EXPECT_EQ(render(QStringLiteral("hh:nn:ssam/pm"), late), QStringLiteral("11:59:59pm"));
    EXPECT_EQ(render(QStringLiteral("hh:nn:ss"), late), QStringLiteral("23:59:59"));

    const QDateTime morning = at(2024, 3, 9, 11, 59, 59);
    EXPECT_EQ(render(QStringLiteral("h ampm"), morning), QStringLiteral("11 午前"));
    EXPECT_EQ(render(QStringLiteral("AM/PM am/pm Am/pM"), morning), QStringLiteral("AM am Am"));
    EXPECT_EQ(render(QStringLiteral("AM/PM am/pm Am/pM"), late), QStringLiteral("PM pm pM"));
}

TEST(DateTimeRenderer, TwelveHourClockOnlyWhenTheFirstALaterBeginsAMark) {
    const QDateTime when = at(2024, 3, 10, 15, 4, 0); // a Sunday
    // The first a after the hour begins the weekday name, not a mark.
    EXPECT_EQ(render(QStringLiteral("hh:nn aaa ampm"), when), QStringLiteral("15:04 日 午後"));
    // Quoted text is skipped while looking for the mark.
    EXPECT_EQ(render(QStringLiteral("hh'a'AMPM"), when), QStringLiteral("03a午後"));
    EXPECT_EQ(render(QStringLiteral("hh\"at\" am/pm"), when), QStringLiteral("03at pm"));
    // A mark before the hour does not make it a 12-hour one.
    EXPECT_EQ(render(QStringLiteral("AM/PM hh"), when), QStringLiteral("PM 15"));
    // Time first, date after: the date's weekday does not count as a mark.
    EXPECT_EQ(render(QStringLiteral("[hh:nn:ss yyyy-mm-dd (aaa)]"), when),
              QStringLiteral("[15:04:00 2024-03-10 (日)]"));
}

TEST(DateTimeRenderer, EachEraFromItsFirstDay) {
    struct Case {
        QDate date;
        const char16_t* expected; // "gg e / g ee"
    };
    const Case cases[] = {
        {QDate(1868, 1, 1), u"明治 1 / 明 01"},   {QDate(1912, 7, 29), u"明治 45 / 明 45"},
        {QDate(1912, 7, 30), u"大正 1 / 大 01"},  {QDate(1926, 12, 24), u"大正 15 / 大 15"},
        {QDate(1926, 12, 25), u"昭和 1 / 昭 01"}, {QDate(1989, 1, 7), u"昭和 64 / 昭 64"},
        {QDate(1989, 1, 8), u"平成 1 / 平 01"},   {QDate(2019, 4, 30), u"平成 31 / 平 31"},
        {QDate(2019, 5, 1), u"令和 1 / 令 01"},   {QDate(2026, 12, 6), u"令和 8 / 令 08"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(render(QStringLiteral("gg e / g ee"), QDateTime(c.date, QTime(12, 0))),
                  QString::fromUtf16(c.expected))
            << c.date.toString(Qt::ISODate).toStdString();
    }
}

TEST(DateTimeRenderer, DatesBeforeTheFirstEraShowTheWesternYearWithoutAnEraName) {
    EXPECT_EQ(render(QStringLiteral("[gge'年'm'月'd'日']"), at(1867, 12, 31)),
              QStringLiteral("[1867年12月31日]"));
    EXPECT_EQ(render(QStringLiteral("<g><gg><ee>"), at(1600, 10, 21)),
              QStringLiteral("<><><1600>"));
}

TEST(DateTimeRenderer, MonthAndWeekdayNamesComeFromTheTablesInForce) {
    NameTables names = localeLikeTables();
    SetEnglishMonth(names);
    SetEnglishYoubiName(names);
    const QDateTime october = at(2023, 10, 9); // a Monday
    EXPECT_EQ(render(QStringLiteral("mmmm/mmm/m/mm"), october, names),
              QStringLiteral("Octorber/Oct/10/10"));
    EXPECT_EQ(render(QStringLiteral("dddd ddd aaaa aaa"), october, names),
              QStringLiteral("Monday Mon Monday Mon"));

    NameTables traditional = localeLikeTables();
    SetWarekiMonth(traditional);
    const QDateTime june = at(2023, 6, 3);
    // Only the long names change; the short ones stay the locale's.
    EXPECT_EQ(render(QStringLiteral("mmmm mmm m"), june, traditional),
              QStringLiteral("水無月 6月 6"));

    // The weekday tokens of both letters follow the weekday table, whatever its language.
    EXPECT_EQ(render(QStringLiteral("ddd aaa dddd aaaa"), june, japaneseTables()),
              QStringLiteral("土 土 土曜日 土曜日"));
}

TEST(DateTimeRenderer, TokensMatchInEitherLetterCase) {
    const QDateTime when = at(2005, 7, 4, 8, 5, 3); // a Monday
    const QString lower =
        render(QStringLiteral("yyyy yy mm m dd d aaa aaaa hh h nn n ss s gg g ee e"), when);
    EXPECT_EQ(lower, QStringLiteral("2005 05 07 7 04 4 月 月曜日 08 8 05 5 03 3 平成 平 17 17"));
    EXPECT_EQ(render(QStringLiteral("YYYY YY MM M DD D AAA AAAA HH H NN N SS S GG G EE E"), when),
              lower);
    // A run of one letter in mixed case is one token.
    EXPECT_EQ(render(QStringLiteral("yYyY-Mm-dD"), when), QStringLiteral("2005-07-04"));
    EXPECT_EQ(render(QStringLiteral("HH:Mm AmPm"), when), QStringLiteral("08:05 午前"));
}

TEST(DateTimeRenderer, QuotedTextIsCopiedWithoutItsQuotes) {
    const QDateTime when = at(2002, 5, 1, 15, 4, 9);
    EXPECT_EQ(render(QStringLiteral("yyyy'年'"), when), QStringLiteral("2002年"));
    EXPECT_EQ(render(QStringLiteral("'yyyy' \"hh:nn\""), when), QStringLiteral("yyyy hh:nn"));
    // Each kind of quote may hold the other.
    EXPECT_EQ(render(QStringLiteral("'say \"d\"' \"it's\""), when),
              QStringLiteral("say \"d\" it's"));
    EXPECT_EQ(render(QStringLiteral("d''d"), when), QStringLiteral("11"));
    // An unclosed quote runs to the end.
    EXPECT_EQ(render(QStringLiteral("d 'mm dd"), when), QStringLiteral("1 mm dd"));
}

TEST(DateTimeRenderer, MAfterAnHourTokenIsTheMinute) {
    const QDateTime when = at(2002, 5, 1, 15, 4, 9);
    EXPECT_EQ(render(QStringLiteral("[hh mm]"), when), QStringLiteral("[15 04]"));
    EXPECT_EQ(render(QStringLiteral("[yyyy mm]"), when), QStringLiteral("[2002 05]"));
    EXPECT_EQ(render(QStringLiteral("h:m"), when), QStringLiteral("15:4"));
    // Quoted text and other non-letters between keep the meaning ...
    EXPECT_EQ(render(QStringLiteral("hh'時'mm'分'"), when), QStringLiteral("15時04分"));
    EXPECT_EQ(render(QStringLiteral("hh時mm"), when), QStringLiteral("15時04"));
    // ... another token ends it, and only the numeric forms change meaning.
    EXPECT_EQ(render(QStringLiteral("hh:nn mm"), when), QStringLiteral("15:04 05"));
    EXPECT_EQ(render(QStringLiteral("hh:mm:mm"), when), QStringLiteral("15:04:05"));
    EXPECT_EQ(render(QStringLiteral("hh mmm"), when), QStringLiteral("15 5月"));
}

TEST(DateTimeRenderer, DoubleByteCharactersAreNeverTakenForTokens) {
    const QDateTime when = at(2002, 5, 1, 15, 4, 9);
    // In code page 932 these characters end in a byte that reads as an ASCII letter or
    // bracket; a renderer working on bytes would take them for tokens.
    const QString kanji = QStringLiteral("年電土知刺餌市吉影ボ表");
    const QByteArray bytes = cp932::encode(kanji);
    ASSERT_EQ(bytes.size(), 2 * kanji.size());
    EXPECT_EQ(bytes.mid(2, 2), QByteArray("\x93"
                                          "d")); // 電
    EXPECT_EQ(bytes.mid(0, 2), QByteArray("\x94"
                                          "N")); // 年
    EXPECT_EQ(bytes.mid(18, 2), QByteArray("\x83"
                                           "{")); // ボ

    EXPECT_EQ(render(kanji, when), kanji);
    EXPECT_EQ(render(QStringLiteral("yyyy年mm月dd日"), when), QStringLiteral("2002年05月01日"));
    // 餌 ends in "a", which would begin "ampm" here and make the hour a 12-hour one.
    EXPECT_EQ(render(QStringLiteral("hh:nn餌mpm"), when), QStringLiteral("15:04餌5p5"));
    // Full-width letters are text too.
    EXPECT_EQ(render(QStringLiteral("ｙｙｙｙ"), when), QStringLiteral("ｙｙｙｙ"));
}

TEST(DateTimeRenderer, LettersThatMakeNoTokenAndUnusualRuns) {
    const QDateTime when = at(2005, 7, 4, 8, 5, 3);
    EXPECT_EQ(render(QStringLiteral("y|yyy|yyyyy"), when), QStringLiteral("05|2005|2005"));
    EXPECT_EQ(render(QStringLiteral("[ddddd mmmmm]"), when), QStringLiteral("[月曜日 L7]"));
    EXPECT_EQ(render(QStringLiteral("a aa bcxz"), when), QStringLiteral("a aa bcxz"));
    EXPECT_EQ(render(QStringLiteral("yyyy"), at(812, 3, 1)), QStringLiteral("0812"));
}

TEST(NameTables, SelectingTablesByMode) {
    const NameTables base = localeLikeTables();

    NameTables names = base;
    applyNameTableChoice(names, 1, 0);
    EXPECT_EQ(names.longMonthNames[0], QStringLiteral("睦月"));
    EXPECT_EQ(names.longMonthNames[11], QStringLiteral("師走"));
    EXPECT_EQ(names.shortMonthNames, base.shortMonthNames);
    EXPECT_EQ(names.shortDayNames[0], QStringLiteral("日"));
    EXPECT_EQ(names.longDayNames[6], QStringLiteral("土曜日"));

    applyNameTableChoice(names, 2, 1);
    EXPECT_EQ(names.longMonthNames[9], QStringLiteral("Octorber"));
    EXPECT_EQ(names.shortMonthNames[4], QStringLiteral("May"));
    EXPECT_EQ(names.longDayNames[0], QStringLiteral("Sunday"));
    EXPECT_EQ(names.shortDayNames[3], QStringLiteral("Wed"));

    // Numeric months and unknown modes leave the last names in place.
    const NameTables english = names;
    applyNameTableChoice(names, 0, 5);
    EXPECT_EQ(names, english);
    EXPECT_EQ(names.amDesignator, base.amDesignator);
}

TEST(NameTables, ProcessWideTablesStartAsTheSystemLocalesAndCanBeReplaced) {
    const NameTables saved = currentNameTables();
    EXPECT_EQ(saved, systemNameTables());

    NameTables names = localeLikeTables();
    setJapaneseDesignators(names);
    setCurrentNameTables(names);
    EXPECT_EQ(renderDateTime(u"ampm mmm", at(2002, 5, 1, 9, 0)), QStringLiteral("午前 5月"));
    setCurrentNameTables(saved);
    EXPECT_EQ(currentNameTables(), saved);
}

} // namespace
} // namespace qel

#include "../TestPrinters.h"
#include "datetime/DateTimeComposition.h"
#include "datetime/DateTimeDialogMapping.h"
#include "datetime/DateTimeFormatSettings.h"
#include "datetime/DateTimeRenderer.h"
#include "datetime/NameTables.h"
#include "settings/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

using State = DateTimeDialogState;

// OK in the dialog: the controls go into the settings, then the patterns are composed.
void pressOk(const State& state, DateTimeFormatSettings& settings, NameTables& names) {
    applyDialogState(state, settings);
    composeFormats(settings, names);
}

DateTimeFormatSettings okFrom(const State& state,
                              DateTimeFormatSettings settings = DateTimeFormatSettings()) {
    NameTables names;
    pressOk(state, settings, names);
    return settings;
}

QStringList patternsOf(const DateTimeFormatSettings& s) {
    return {s.dateFormat, s.timeFormat, s.dateTimeFormat};
}

QStringList patterns(const char16_t* date, const char16_t* time, const char16_t* dateTime) {
    return {QString::fromUtf16(date), QString::fromUtf16(time), QString::fromUtf16(dateTime)};
}

State ticked(std::initializer_list<bool State::*> controls, int dateOrder = 0) {
    State s;
    for (bool State::*control : controls)
        s.*control = true;
    s.dateOrder = dateOrder;
    return s;
}

// Every item shown with the default choices' controls, the way the defaults fill the
// dialog.
State defaultsAsShown() {
    return dialogStateFor(DateTimeFormatSettings());
}

// The defaults of a missing section, OK pressed at once. (The dialog tests work other
// choices through the controls.)
TEST(DateTimeFormat, OkOnTheDefaults) {
    DateTimeFormatSettings first = okFrom(defaultsAsShown());
    EXPECT_EQ(patternsOf(first),
              patterns(u"[yyyy-mm-dd (aaa)]", u"[hh:nn:ss]", u"[yyyy-mm-dd (aaa) hh:nn:ss]"));
    // The separators and the space are kept in the item patterns.
    EXPECT_EQ((QStringList{first.monthItem, first.dayItem, first.weekdayItem, first.hourItem,
                           first.minuteItem, first.secondItem}),
              (QStringList{u"-mm"_s, u"-dd"_s, u" (aaa)"_s, u"hh:"_s, u"nn:"_s, u"ss"_s}));
    EXPECT_EQ(first.amPmMode, 4);
}

TEST(DateTimeFormat, ItemsShownAlone) {
    using S = State;
    EXPECT_EQ(okFrom(ticked({&S::showWeekday, &S::kanjiWeekday, &S::shortWeekday})).dateFormat,
              u"[aaa]"_s);
    // Neither Western nor era year chosen: the unit alone.
    const DateTimeFormatSettings unitOnly = okFrom(ticked({&S::withUnits, &S::showYear}));
    EXPECT_EQ(QStringList({unitOnly.yearItem, unitOnly.dateFormat}),
              QStringList({u"'年'"_s, u"['年']"_s}));
    const auto dayAndYear = {&S::showYear, &S::westernYear, &S::showDay, &S::zeroPadDay};
    EXPECT_EQ(okFrom(ticked(dayAndYear)).dateFormat, u"[yyyy-dd]"_s);
    EXPECT_EQ(okFrom(ticked(dayAndYear, 1)).dateFormat, u"[dd-yyyy]"_s);
    EXPECT_EQ(okFrom(ticked({&S::showHour, &S::zeroPadHour, &S::showSecond, &S::zeroPadSecond}))
                  .timeFormat,
              u"[hh:ss]"_s);
    // Month names take no unit.
    const DateTimeFormatSettings wareki = okFrom(
        ticked({&S::withUnits, &S::showYear, &S::westernYear, &S::showMonth, &S::japaneseMonth}));
    EXPECT_EQ(wareki.dateFormat, u"[yyyy'年'mmmm]"_s);
    EXPECT_EQ(wareki.monthNumbering, 1);
    EXPECT_EQ(okFrom(ticked({&S::withUnits, &S::showYear, &S::westernYear, &S::showMonth,
                             &S::englishMonth}))
                  .dateFormat,
              u"[yyyy'年'mmmm]"_s);
}

TEST(DateTimeFormat, NothingShownAndTheMarkThatStays) {
    const DateTimeFormatSettings none = okFrom(State());
    EXPECT_EQ(patternsOf(none), patterns(u"[]", u"[]", u"[ ]"));
    EXPECT_EQ(none.amPmMode, 4);

    // With the hour hidden a mark chosen earlier stays, in both patterns.
    DateTimeFormatSettings twelve;
    twelve.amPmMode = 0;
    EXPECT_EQ(patternsOf(okFrom(State(), twelve)), patterns(u"[]", u"[AM/PM]", u"[ AM/PM]"));

    State hidden = dialogStateFor(twelve);
    hidden.showHour = false;
    EXPECT_EQ(okFrom(hidden, twelve).timeFormat, QStringLiteral("[nn:ssAM/PM]"));

    // Unchecking the 12-hour clock removes the mark, and the dialog shows it off again.
    State shown = dialogStateFor(twelve);
    ASSERT_TRUE(shown.twelveHour && shown.amPm && !shown.lowercaseAmPm);
    shown.twelveHour = false;
    const DateTimeFormatSettings off = okFrom(shown, twelve);
    EXPECT_EQ(off.timeFormat, QStringLiteral("[hh:nn:ss]"));
    EXPECT_FALSE(dialogStateFor(off).twelveHour);

    // 12-hour clock ticked but no mark chosen: the mark is left as it was.
    State noMark = defaultsAsShown();
    noMark.twelveHour = true;
    EXPECT_EQ(okFrom(noMark, twelve).amPmMode, 0);
}

TEST(DateTimeFormat, AStoredMonthNamingOutsideItsRange) {
    // No month radio is checked; the month drops out and the value is kept.
    DateTimeFormatSettings m;
    m.monthNumbering = 5;
    const State state = dialogStateFor(m);
    EXPECT_TRUE(state.showMonth);
    EXPECT_FALSE(state.numericMonth || state.japaneseMonth || state.englishMonth);
    const DateTimeFormatSettings after = okFrom(state, m);
    EXPECT_EQ(after.dateFormat, QStringLiteral("[yyyy-dd (aaa)]"));
    EXPECT_EQ(after.monthNumbering, 5);
}

TEST(DateTimeFormat, HandWrittenItemPatternsAreRecognisedBySubstring) {
    DateTimeFormatSettings s;
    s.yearItem = QStringLiteral("gge'年'");
    s.monthItem = QStringLiteral("mmm-");
    s.monthNumbering = 2;
    s.weekdayItem = QStringLiteral("'('aaa')'");
    s.hourItem = QStringLiteral("h'時'");
    s.amPmMode = 2;
    const State d = dialogStateFor(s);
    EXPECT_TRUE(d.eraYear && !d.shortEraName && !d.westernYear);
    EXPECT_TRUE(d.englishMonth && d.shortMonthName);
    EXPECT_TRUE(d.kanjiWeekday && d.shortWeekday && d.weekdayInParentheses);
    EXPECT_TRUE(d.twelveHour && d.japaneseAmPm && !d.zeroPadHour);

    s.yearItem = QStringLiteral("ge");
    s.weekdayItem = QStringLiteral("dddd");
    const State e = dialogStateFor(s);
    EXPECT_TRUE(e.eraYear && e.shortEraName);
    EXPECT_TRUE(e.englishWeekday && !e.shortWeekday && !e.weekdayInParentheses);
}

class DateTimeFormatFile : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("Main.QelW")); }
    void store(const DateTimeFormatSettings& s) {
        IniFile file(path());
        writeDateTimeFormat(file, s);
    }
    DateTimeFormatSettings load() const {
        const IniFile file(path());
        return readDateTimeFormat(file);
    }
    QByteArray bytes() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

TEST_F(DateTimeFormatFile, MissingSectionGivesTheDefaults) {
    IniFile(path()).writeString(u"Form", u"WindowName", QStringLiteral("QelEditor"));
    EXPECT_EQ(load(), DateTimeFormatSettings());
    EXPECT_EQ(load().dateFormat, QStringLiteral("[yyyy'-'mm'-'dd'('aaa')']"));
}

TEST_F(DateTimeFormatFile, TheSixteenKeysInTheirOrder) {
    store(okFrom(defaultsAsShown()));
    EXPECT_EQ(bytes(), QByteArray("[Date&TimeFormat]\r\n"
                                  "YO=yyyy\r\n"
                                  "MO=-mm\r\n"
                                  "DO=-dd\r\n"
                                  "DNO= (aaa)\r\n"
                                  "OO=hh:\r\n"
                                  "MiO=nn:\r\n"
                                  "SO=ss\r\n"
                                  "Credit=0\r\n"
                                  "AMPM=4\r\n"
                                  "MonthNumberring=0\r\n"
                                  "DayNames=0\r\n"
                                  "DateSortType=0\r\n"
                                  "DateTimeSortType=0\r\n"
                                  "DateFormat=[yyyy-mm-dd (aaa)]\r\n"
                                  "TimeFormat=[hh:nn:ss]\r\n"
                                  "Date&TimeFormat=[yyyy-mm-dd (aaa) hh:nn:ss]\r\n"));
}

TEST_F(DateTimeFormatFile, ReadingBackLosesQuotesAndBlanksButNotTheChoices) {
    // The defaults: the weekday pattern comes back without its outer apostrophes.
    store(DateTimeFormatSettings());
    const DateTimeFormatSettings defaults = load();
    EXPECT_EQ(defaults.weekdayItem, QStringLiteral("('aaa')"));
    EXPECT_EQ(dialogStateFor(defaults), defaultsAsShown());
    EXPECT_EQ(patternsOf(defaults), patternsOf(DateTimeFormatSettings()));

    // Any choice the dialog can make: the stored patterns are read as written, reopening
    // the dialog (from memory or from the file) shows the same choices, and OK on them
    // composes the same patterns again, so separators never pile up.
    std::mt19937 random(20020501);
    auto coin = [&random] { return (random() & 1) != 0; };
    auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    const std::vector<bool State::*> flags{&State::showYear,
                                           &State::twoDigitYear,
                                           &State::shortEraName,
                                           &State::showMonth,
                                           &State::zeroPadMonth,
                                           &State::shortMonthName,
                                           &State::showDay,
                                           &State::zeroPadDay,
                                           &State::showWeekday,
                                           &State::shortWeekday,
                                           &State::weekdayInParentheses,
                                           &State::showHour,
                                           &State::zeroPadHour,
                                           &State::twelveHour,
                                           &State::lowercaseAmPm,
                                           &State::showMinute,
                                           &State::zeroPadMinute,
                                           &State::showSecond,
                                           &State::zeroPadSecond,
                                           &State::withUnits};
    const std::vector<std::vector<bool State::*>> radioGroups{
        {&State::westernYear, &State::eraYear},
        {&State::numericMonth, &State::japaneseMonth, &State::englishMonth},
        {&State::kanjiWeekday, &State::englishWeekday},
        {&State::amPm, &State::japaneseAmPm}};
    for (int round = 0; round < 300; ++round) {
        State s;
        for (bool State::*flag : flags)
            s.*flag = coin();
        // At most one radio of each group, as the dialog allows.
        for (const auto& radios : radioGroups) {
            const int chosen = pick(int(radios.size()) + 1);
            for (int r = 0; r < int(radios.size()); ++r)
                s.*radios[std::size_t(r)] = r + 1 == chosen;
        }
        s.dateOrder = pick(2);
        s.dateTimeOrder = pick(2);

        const DateTimeFormatSettings once = okFrom(s);
        const State reopened = dialogStateFor(once);
        EXPECT_EQ(okFrom(reopened, once), once) << "round " << round;

        store(once);
        const DateTimeFormatSettings read = load();
        EXPECT_EQ(patternsOf(read), patternsOf(once)) << "round " << round;
        EXPECT_EQ(dialogStateFor(read), reopened) << "round " << round;
        EXPECT_EQ(okFrom(reopened, read), once) << "round " << round;
    }
}

} // namespace
} // namespace qel

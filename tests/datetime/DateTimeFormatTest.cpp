#include "QStringPrinter.h"
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

namespace qel {
namespace {

using State = DateTimeDialogState;

// OK in the dialog: the controls go into the settings, then the patterns are composed.
void pressOk(const State& state, DateTimeFormatSettings& settings, NameTables& names) {
    applyDialogState(state, settings);
    SetFormatDT(settings, names);
}

DateTimeFormatSettings okFrom(const State& state,
                              DateTimeFormatSettings settings = DateTimeFormatSettings()) {
    NameTables names;
    pressOk(state, settings, names);
    return settings;
}

struct Patterns {
    QString date, time, dateTime;
    friend bool operator==(const Patterns&, const Patterns&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Patterns& p) {
        return os << p.date.toStdString() << " | " << p.time.toStdString() << " | "
                  << p.dateTime.toStdString();
    }
};

Patterns patternsOf(const DateTimeFormatSettings& s) {
    return {s.dateFormat, s.timeFormat, s.dateTimeFormat};
}

Patterns patterns(const char16_t* date, const char16_t* time, const char16_t* dateTime) {
    return {QString::fromUtf16(date), QString::fromUtf16(time), QString::fromUtf16(dateTime)};
}

// Every item shown with the default choices' controls, the way the defaults fill the
// dialog.
State defaultsAsShown() {
    return dialogStateFor(DateTimeFormatSettings());
}

TEST(DateTimeFormat, WorkedResultsOfOk) {
    // The defaults of a missing section, OK pressed at once.
    DateTimeFormatSettings first = okFrom(defaultsAsShown());
    EXPECT_EQ(patternsOf(first),
              patterns(u"[yyyy-mm-dd (aaa)]", u"[hh:nn:ss]", u"[yyyy-mm-dd (aaa) hh:nn:ss]"));
    // The separators and the space are kept in the item patterns.
    EXPECT_EQ(first.mo, QStringLiteral("-mm"));
    EXPECT_EQ(first.dayItem, QStringLiteral("-dd"));
    EXPECT_EQ(first.dno, QStringLiteral(" (aaa)"));
    EXPECT_EQ(first.oo, QStringLiteral("hh:"));
    EXPECT_EQ(first.mio, QStringLiteral("nn:"));
    EXPECT_EQ(first.so, QStringLiteral("ss"));
    EXPECT_EQ(first.ampm, 4);

    // Units; era year; plain month and day; long Japanese weekday; 12-hour Japanese mark.
    State era;
    era.Tanni = true;
    era.YearCheck = era.Wareki = true;
    era.MonthCheck = era.MonthSuuji = true;
    era.DayCheck = true;
    era.YoubiCheck = era.YoubiKanji = true;
    era.JiCheck = era.Ji12 = era.GozennGogo = true;
    era.FunCheck = era.Fun0Hyouji = true;
    DateTimeFormatSettings second = okFrom(era);
    EXPECT_EQ(patternsOf(second), patterns(u"[gge'年'm'月'd'日' aaaa]", u"[h'時'nn'分' ampm]",
                                           u"[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"));
    EXPECT_EQ(second.credit, 1);
    EXPECT_EQ(second.ampm, 2);

    // Day-month-year, time first; short English month and weekday; lower-case mark.
    State english;
    english.DateJunjo = english.DateTimeJunjo = 1;
    english.YearCheck = english.Seireki = true;
    english.MonthCheck = english.MonthEigo = english.EigoRyaku = true;
    english.DayCheck = english.Day0Hyouji = true;
    english.YoubiCheck = english.YoubiEigo = english.YoubiRyaku = english.YoubiKakko = true;
    english.JiCheck = english.Ji0Hyouji = english.Ji12 = english.AMPM = english.AMPMKomoji = true;
    english.FunCheck = english.Fun0Hyouji = true;
    DateTimeFormatSettings third = okFrom(english);
    EXPECT_EQ(patternsOf(third),
              patterns(u"[dd-mmm-yyyy (ddd)]", u"[hh:nnam/pm]", u"[hh:nnam/pm dd-mmm-yyyy (ddd)]"));
    EXPECT_EQ(third.monthNumbering, 2);
    EXPECT_EQ(third.dayNames, 1);
    EXPECT_EQ(third.ampm, 1);
}

TEST(DateTimeFormat, CompositionLoadsTheNameTablesTheChoicesNeed) {
    DateTimeFormatSettings s;
    NameTables names;
    State english = defaultsAsShown();
    english.MonthSuuji = false;
    english.MonthEigo = true;
    english.YoubiKanji = false;
    english.YoubiEigo = true;
    english.YoubiRyaku = false;
    pressOk(english, s, names);
    EXPECT_EQ(renderDateTime(s.dateFormat, QDateTime(QDate(2023, 10, 9), QTime()), names),
              QStringLiteral("[2023-Octorber-09 (Monday)]"));
    // Numeric months afterwards leave the English names in the tables.
    pressOk(defaultsAsShown(), s, names);
    EXPECT_EQ(names.longMonthNames[9], QStringLiteral("Octorber"));
    EXPECT_EQ(names.shortDayNames[1], QStringLiteral("月"));
}

TEST(DateTimeFormat, ItemsShownAlone) {
    State weekday;
    weekday.YoubiCheck = weekday.YoubiKanji = weekday.YoubiRyaku = true;
    EXPECT_EQ(okFrom(weekday).dateFormat, QStringLiteral("[aaa]"));

    State unitOnly;
    unitOnly.Tanni = true;
    unitOnly.YearCheck = true; // neither Western nor era year chosen
    const DateTimeFormatSettings u = okFrom(unitOnly);
    EXPECT_EQ(u.yo, QStringLiteral("'年'"));
    EXPECT_EQ(u.dateFormat, QStringLiteral("['年']"));

    State dayAndYear;
    dayAndYear.YearCheck = dayAndYear.Seireki = true;
    dayAndYear.DayCheck = dayAndYear.Day0Hyouji = true;
    EXPECT_EQ(okFrom(dayAndYear).dateFormat, QStringLiteral("[yyyy-dd]"));
    dayAndYear.DateJunjo = 1;
    EXPECT_EQ(okFrom(dayAndYear).dateFormat, QStringLiteral("[dd-yyyy]"));

    State hourAndSecond;
    hourAndSecond.JiCheck = hourAndSecond.Ji0Hyouji = true;
    hourAndSecond.ByouCheck = hourAndSecond.Byou0Hyouji = true;
    EXPECT_EQ(okFrom(hourAndSecond).timeFormat, QStringLiteral("[hh:ss]"));

    // Month names take no unit.
    State names;
    names.Tanni = true;
    names.YearCheck = names.Seireki = true;
    names.MonthCheck = names.MonthWareki = true;
    const DateTimeFormatSettings wareki = okFrom(names);
    EXPECT_EQ(wareki.dateFormat, QStringLiteral("[yyyy'年'mmmm]"));
    EXPECT_EQ(wareki.monthNumbering, 1);
    names.MonthWareki = false;
    names.MonthEigo = true;
    EXPECT_EQ(okFrom(names).dateFormat, QStringLiteral("[yyyy'年'mmmm]"));
}

TEST(DateTimeFormat, NothingShownAndTheMarkThatStays) {
    const DateTimeFormatSettings none = okFrom(State());
    EXPECT_EQ(patternsOf(none), patterns(u"[]", u"[]", u"[ ]"));
    EXPECT_EQ(none.ampm, 4);

    // With the hour hidden a mark chosen earlier stays, in both patterns.
    DateTimeFormatSettings twelve;
    twelve.ampm = 0;
    EXPECT_EQ(patternsOf(okFrom(State(), twelve)), patterns(u"[]", u"[AM/PM]", u"[ AM/PM]"));

    State hidden = dialogStateFor(twelve);
    hidden.JiCheck = false;
    EXPECT_EQ(okFrom(hidden, twelve).timeFormat, QStringLiteral("[nn:ssAM/PM]"));

    // Unchecking the 12-hour clock removes the mark, and the dialog shows it off again.
    State shown = dialogStateFor(twelve);
    ASSERT_TRUE(shown.Ji12 && shown.AMPM && !shown.AMPMKomoji);
    shown.Ji12 = false;
    const DateTimeFormatSettings off = okFrom(shown, twelve);
    EXPECT_EQ(off.timeFormat, QStringLiteral("[hh:nn:ss]"));
    EXPECT_FALSE(dialogStateFor(off).Ji12);

    // 12-hour clock ticked but no mark chosen: the mark is left as it was.
    State noMark = defaultsAsShown();
    noMark.Ji12 = true;
    EXPECT_EQ(okFrom(noMark, twelve).ampm, 0);
}

TEST(DateTimeFormat, StoredValuesOutsideTheirRange) {
    // An unknown order gives no date part; an unknown combined order keeps the old one.
    DateTimeFormatSettings s;
    s.dateSortType = 7;
    s.dateTimeSortType = 5;
    const DateTimeFormatSettings odd = okFrom(dialogStateFor(s), s);
    EXPECT_EQ(odd.dateFormat, QStringLiteral("[]"));
    EXPECT_EQ(odd.timeFormat, QStringLiteral("[hh:nn:ss]"));
    EXPECT_EQ(odd.dateTimeFormat, DateTimeFormatSettings().dateTimeFormat);
    EXPECT_EQ(odd.dateSortType, 7);

    // An unknown month naming checks no month radio; the month drops out and the value
    // is kept.
    DateTimeFormatSettings m;
    m.monthNumbering = 5;
    const State state = dialogStateFor(m);
    EXPECT_TRUE(state.MonthCheck);
    EXPECT_FALSE(state.MonthSuuji || state.MonthWareki || state.MonthEigo);
    const DateTimeFormatSettings after = okFrom(state, m);
    EXPECT_EQ(after.dateFormat, QStringLiteral("[yyyy-dd (aaa)]"));
    EXPECT_EQ(after.monthNumbering, 5);
}

TEST(DateTimeFormat, HandWrittenItemPatternsAreRecognisedBySubstring) {
    DateTimeFormatSettings s;
    s.yo = QStringLiteral("gge'年'");
    s.mo = QStringLiteral("mmm-");
    s.monthNumbering = 2;
    s.dno = QStringLiteral("'('aaa')'");
    s.oo = QStringLiteral("h'時'");
    s.ampm = 2;
    const State d = dialogStateFor(s);
    EXPECT_TRUE(d.Wareki && !d.GengouRyaku && !d.Seireki);
    EXPECT_TRUE(d.MonthEigo && d.EigoRyaku);
    EXPECT_TRUE(d.YoubiKanji && d.YoubiRyaku && d.YoubiKakko);
    EXPECT_TRUE(d.Ji12 && d.GozennGogo && !d.Ji0Hyouji);

    s.yo = QStringLiteral("ge");
    s.dno = QStringLiteral("dddd");
    const State e = dialogStateFor(s);
    EXPECT_TRUE(e.Wareki && e.GengouRyaku);
    EXPECT_TRUE(e.YoubiEigo && !e.YoubiRyaku && !e.YoubiKakko);
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
    EXPECT_EQ(load(), DateTimeFormatSettings());
    {
        IniFile file(path());
        file.writeString(u"Form", u"WindowName", QStringLiteral("QelEditor"));
    }
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
    EXPECT_EQ(defaults.dno, QStringLiteral("('aaa')"));
    EXPECT_EQ(dialogStateFor(defaults), defaultsAsShown());
    EXPECT_EQ(patternsOf(defaults), patternsOf(DateTimeFormatSettings()));

    // Any choice the dialog can make: the stored patterns are read as written, reopening
    // the dialog (from memory or from the file) shows the same choices, and OK on them
    // composes the same patterns again, so separators never pile up.
    std::mt19937 random(20020501);
    auto coin = [&random] { return (random() & 1) != 0; };
    auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    const std::vector<bool State::*> flags{
        &State::YearCheck,    &State::Seireki2keta, &State::GengouRyaku, &State::MonthCheck,
        &State::Month0Hyouji, &State::EigoRyaku,    &State::DayCheck,    &State::Day0Hyouji,
        &State::YoubiCheck,   &State::YoubiRyaku,   &State::YoubiKakko,  &State::JiCheck,
        &State::Ji0Hyouji,    &State::Ji12,         &State::AMPMKomoji,  &State::FunCheck,
        &State::Fun0Hyouji,   &State::ByouCheck,    &State::Byou0Hyouji, &State::Tanni};
    const std::vector<std::vector<bool State::*>> radioGroups{
        {&State::Seireki, &State::Wareki},
        {&State::MonthSuuji, &State::MonthWareki, &State::MonthEigo},
        {&State::YoubiKanji, &State::YoubiEigo},
        {&State::AMPM, &State::GozennGogo}};
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
        s.DateJunjo = pick(2);
        s.DateTimeJunjo = pick(2);

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

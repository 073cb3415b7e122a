#include "datetime/DateTimeFormatSettings.h"
#include "datetime/DateTimeRenderer.h"
#include "datetime/NameTables.h"
#include "forms/Datetimeformat.h"
#include "platform/Dialogs.h"
#include "platform/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace qel;

namespace {

QAbstractButton* button(QWidget& form, const char* name) {
    return form.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

bool checked(QWidget& form, const char* name) {
    return button(form, name)->isChecked();
}

bool enabled(QWidget& form, const char* name) {
    return button(form, name)->isEnabled();
}

void click(QWidget& form, const char* name) {
    QAbstractButton* b = button(form, name);
    QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// Puts a check box into the wanted state the way a user would: by clicking it.
void setTicked(QWidget& form, const char* name, bool on) {
    if (checked(form, name) != on)
        click(form, name);
}

} // namespace

class DateTimeFormatFormTest : public QObject {
    Q_OBJECT

    NameTables savedNames_;

private Q_SLOTS:
    void init() { savedNames_ = currentNameTables(); }
    void cleanup() { setCurrentNameTables(savedNames_); }

    void controlsHaveTheirNamesCaptionsAndGroups() {
        DateTimeFormatSettings settings;
        TDateTimeFormatForm form(settings);
        QCOMPARE(form.objectName(), QStringLiteral("DateTimeFormatForm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("日付と時刻の書式編集"));
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowContextHelpButtonHint));

        auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QVERIFY(pages);
        QCOMPARE(pages->count(), 1);
        QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TabDateTime"));
        QCOMPARE(pages->tabText(0), QStringLiteral("挿入項目"));

        struct Control {
            const char* name;
            const char16_t* caption;
            bool radio;
        };
        // Listed group by group; each group holds exactly its own controls.
        const std::vector<std::vector<Control>> groups{
            {{"YearCheck", u"「年」表示", false},
             {"Seireki", u"西暦", true},
             {"Wareki", u"和暦", true},
             {"Seireki2keta", u"下２ケタ表示", false},
             {"GengouRyaku", u"元号略称", false}},
            {{"MonthCheck", u"「月」表示", false},
             {"MonthSuuji", u"数字", true},
             {"MonthWareki", u"和暦", true},
             {"MonthEigo", u"英語", true},
             {"Month0Hyouji", u"０表示", false},
             {"EigoRyaku", u"月略称", false}},
            {{"DayCheck", u"「日」表示", false}, {"Day0Hyouji", u"０表示", false}},
            {{"YoubiCheck", u"「曜日」表示", false},
             {"YoubiKanji", u"漢字", true},
             {"YoubiEigo", u"英語", true},
             {"YoubiRyaku", u"曜日略称", false},
             {"YoubiKakko", u"括弧付", false}},
            {{"JiCheck", u"「時」表示", false},
             {"Ji0Hyouji", u"０表示", false},
             {"Ji12", u"１２時間制", false},
             {"AMPM", u"AM/PM", true},
             {"GozennGogo", u"午前/午後", true},
             {"AMPMKomoji", u"小文字", false}},
            {{"FunCheck", u"「分」表示", false}, {"Fun0Hyouji", u"０表示", false}},
            {{"ByouCheck", u"「秒」表示", false}, {"Byou0Hyouji", u"０表示", false}},
        };
        for (const auto& group : groups) {
            auto* box = qobject_cast<QGroupBox*>(button(form, group.front().name)->parentWidget());
            QVERIFY2(box, group.front().name);
            QCOMPARE(box->findChildren<QAbstractButton*>().size(), qsizetype(group.size()));
            for (const Control& c : group) {
                QAbstractButton* b = button(form, c.name);
                QVERIFY2(b, c.name);
                QCOMPARE(b->parentWidget(), box);
                QCOMPARE(b->text(), QString::fromUtf16(c.caption));
                QCOMPARE(bool(qobject_cast<QRadioButton*>(b)), c.radio);
                QCOMPARE(bool(qobject_cast<QCheckBox*>(b)), !c.radio);
            }
        }
        QCOMPARE(button(form, "Tanni")->text(), QStringLiteral("単位付加"));

        auto* dateOrder = form.findChild<RadioGroup*>(QStringLiteral("DateJunjo"));
        auto* dateTimeOrder = form.findChild<RadioGroup*>(QStringLiteral("DateTimeJunjo"));
        QVERIFY(dateOrder && dateTimeOrder);
        QCOMPARE(dateOrder->title(), QStringLiteral("日付の表示順序"));
        QCOMPARE(dateOrder->count(), 2);
        QCOMPARE(dateOrder->item(0)->text(), QStringLiteral("年-月-日-曜日"));
        QCOMPARE(dateOrder->item(1)->text(), QStringLiteral("日-月-年-曜日"));
        QCOMPARE(dateTimeOrder->title(), QStringLiteral("日付、時刻の表示順序"));
        QCOMPARE(dateTimeOrder->item(0)->text(), QStringLiteral("日付-時刻"));
        QCOMPARE(dateTimeOrder->item(1)->text(), QStringLiteral("時刻-日付"));

        auto* ok = form.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        auto* cancel = form.findChild<QPushButton*>(QStringLiteral("BitBtn2"));
        QVERIFY(ok && cancel);
        QVERIFY(ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
    }

    void nothingShownLeavesTheControlsAsLaidOut() {
        DateTimeFormatSettings settings;
        settings.yo.clear();
        settings.mo.clear();
        settings.dayItem.clear();
        settings.dno.clear();
        settings.oo.clear();
        settings.mio.clear();
        settings.so.clear();
        settings.ampm = 0; // ignored while the hour is not shown
        TDateTimeFormatForm form(settings);
        const DateTimeDialogState state = form.controlState();
        QCOMPARE(state, DateTimeDialogState());
        for (const char* name : {"Seireki2keta", "GengouRyaku", "Month0Hyouji", "EigoRyaku", "AMPM",
                                 "GozennGogo", "AMPMKomoji"})
            QVERIFY2(!enabled(form, name), name);
        for (const char* name : {"YearCheck", "Seireki", "Wareki", "MonthSuuji", "Day0Hyouji",
                                 "YoubiRyaku", "YoubiKakko", "Ji12", "Ji0Hyouji", "Tanni"})
            QVERIFY2(enabled(form, name), name);
    }

    void theDefaultsShowAsTheUserExpects() {
        DateTimeFormatSettings settings;
        TDateTimeFormatForm form(settings);
        for (const char* name :
             {"YearCheck", "Seireki", "MonthCheck", "MonthSuuji", "Month0Hyouji", "DayCheck",
              "Day0Hyouji", "YoubiCheck", "YoubiKanji", "YoubiRyaku", "YoubiKakko", "JiCheck",
              "Ji0Hyouji", "FunCheck", "Fun0Hyouji", "ByouCheck", "Byou0Hyouji"})
            QVERIFY2(checked(form, name), name);
        for (const char* name : {"Wareki", "Seireki2keta", "MonthWareki", "MonthEigo", "Ji12",
                                 "AMPM", "GozennGogo", "Tanni"})
            QVERIFY2(!checked(form, name), name);
        // The enable rule holds right after filling.
        QVERIFY(enabled(form, "Seireki2keta"));
        QVERIFY(!enabled(form, "GengouRyaku"));
        QVERIFY(enabled(form, "Month0Hyouji"));
        QVERIFY(!enabled(form, "EigoRyaku"));
        QVERIFY(!enabled(form, "AMPM"));
    }

    void enableRulesFollowClicks() {
        DateTimeFormatSettings settings;
        TDateTimeFormatForm form(settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        click(form, "Wareki");
        QVERIFY(checked(form, "Wareki") && !checked(form, "Seireki"));
        QVERIFY(enabled(form, "GengouRyaku"));
        QVERIFY(!enabled(form, "Seireki2keta"));
        click(form, "Seireki");
        QVERIFY(!enabled(form, "GengouRyaku"));

        click(form, "MonthEigo");
        QVERIFY(enabled(form, "EigoRyaku"));
        QVERIFY(!enabled(form, "Month0Hyouji"));
        // Disabling keeps the check mark.
        QVERIFY(checked(form, "Month0Hyouji"));
        click(form, "MonthWareki");
        QVERIFY(!enabled(form, "EigoRyaku") && !enabled(form, "Month0Hyouji"));

        click(form, "Ji12");
        for (const char* name : {"AMPM", "GozennGogo", "AMPMKomoji"})
            QVERIFY2(enabled(form, name), name);
        click(form, "AMPM");
        click(form, "AMPMKomoji");
        click(form, "GozennGogo");
        QVERIFY(!checked(form, "AMPM"));
        click(form, "Ji12");
        for (const char* name : {"AMPM", "GozennGogo", "AMPMKomoji"})
            QVERIFY2(!enabled(form, name), name);
        QVERIFY(checked(form, "GozennGogo") && checked(form, "AMPMKomoji"));
        // Radios of different groups do not exclude each other.
        QVERIFY(checked(form, "Seireki") && checked(form, "MonthWareki") &&
                checked(form, "YoubiKanji") && checked(form, "GozennGogo"));
    }

    void okComposesTheChoicesThroughTheDialogsService() {
        DateTimeFormatSettings settings;
        ScriptedDialogs dialogs;
        dialogs.answerExec([](QDialog& dialog) {
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog))
                return -1;
            click(dialog, "Tanni");
            click(dialog, "Wareki");
            setTicked(dialog, "Month0Hyouji", false);
            setTicked(dialog, "Day0Hyouji", false);
            setTicked(dialog, "YoubiRyaku", false);
            setTicked(dialog, "YoubiKakko", false);
            setTicked(dialog, "Ji0Hyouji", false);
            click(dialog, "Ji12");
            click(dialog, "GozennGogo");
            setTicked(dialog, "ByouCheck", false);
            click(dialog, "BitBtn1");
            return dialog.result();
        });
        {
            TDateTimeFormatForm form(settings);
            QCOMPARE(qel::dialogs().exec(form), int(QDialog::Accepted));
            QVERIFY(!form.isVisible());
        }
        // The dialog asked nothing of its own.
        QCOMPARE(dialogs.kinds(), QStringList{QStringLiteral("exec")});
        QCOMPARE(dialogs.calls().front().text, QStringLiteral("日付と時刻の書式編集"));

        QCOMPARE(settings.dateFormat, QStringLiteral("[gge'年'm'月'd'日' aaaa]"));
        QCOMPARE(settings.timeFormat, QStringLiteral("[h'時'nn'分' ampm]"));
        QCOMPARE(settings.dateTimeFormat,
                 QStringLiteral("[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"));
        QCOMPARE(settings.credit, 1);
        QCOMPARE(settings.ampm, 2);

        // OK loaded the Japanese weekday names into the tables in force.
        NameTables names = currentNameTables();
        QCOMPARE(names.longDayNames[0], QStringLiteral("日曜日"));
        setJapaneseDesignators(names);
        QCOMPARE(renderDateTime(settings.dateTimeFormat,
                                QDateTime(QDate(2026, 12, 6), QTime(15, 4)), names),
                 QStringLiteral("[令和8年12月6日 日曜日 3時04分 午後]"));

        // Reopened, the dialog shows those choices; OK again gives the same patterns.
        const DateTimeFormatSettings once = settings;
        TDateTimeFormatForm again(settings);
        QVERIFY(checked(again, "Tanni") && checked(again, "Wareki") &&
                !checked(again, "GengouRyaku"));
        QVERIFY(checked(again, "Ji12") && checked(again, "GozennGogo"));
        QVERIFY(!checked(again, "ByouCheck") && !checked(again, "Month0Hyouji"));
        again.BitBtn1Click();
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QVERIFY(settings == once);
    }

    void orderGroupsAndEnglishNames() {
        DateTimeFormatSettings settings;
        TDateTimeFormatForm form(settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* dateOrder = form.findChild<RadioGroup*>(QStringLiteral("DateJunjo"));
        auto* dateTimeOrder = form.findChild<RadioGroup*>(QStringLiteral("DateTimeJunjo"));
        QTest::mouseClick(dateOrder->item(1), Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseClick(dateTimeOrder->item(1), Qt::LeftButton, {}, QPoint(8, 8));
        click(form, "MonthEigo");
        click(form, "EigoRyaku");
        click(form, "YoubiEigo");
        click(form, "Ji12");
        click(form, "AMPM");
        click(form, "AMPMKomoji");
        setTicked(form, "ByouCheck", false);
        click(form, "BitBtn1");
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(settings.dateTimeFormat, QStringLiteral("[hh:nnam/pm dd-mmm-yyyy (ddd)]"));
        QCOMPARE(currentNameTables().longMonthNames[9], QStringLiteral("Octorber"));
    }

    void cancelLeavesTheSettingsAlone() {
        DateTimeFormatSettings settings;
        settings.dateSortType = 7; // not an order the dialog offers
        const DateTimeFormatSettings before = settings;
        const NameTables namesBefore = currentNameTables();
        {
            TDateTimeFormatForm form(settings);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            // An unknown order shows as the first item.
            QCOMPARE(form.findChild<RadioGroup*>(QStringLiteral("DateJunjo"))->itemIndex(), 0);
            click(form, "Wareki");
            click(form, "Tanni");
            click(form, "YoubiEigo");
            click(form, "BitBtn2");
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QVERIFY(!form.isVisible());
        }
        QVERIFY(settings == before);
        QVERIFY(currentNameTables() == namesBefore);
        {
            // OK stores the order the dialog showed.
            TDateTimeFormatForm form(settings);
            form.BitBtn1Click();
        }
        QCOMPARE(settings.dateSortType, 0);
        QCOMPARE(settings.dateFormat, QStringLiteral("[yyyy-mm-dd (aaa)]"));
    }
};

QTEST_MAIN(DateTimeFormatFormTest)
#include "DateTimeFormatFormTest.moc"

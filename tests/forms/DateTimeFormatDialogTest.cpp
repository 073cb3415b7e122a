// The date and time format dialog, clicked as a user would.
#include "FormTestSupport.h"

#include "datetime/DateTimeFormatSettings.h"
#include "datetime/DateTimeRenderer.h"
#include "forms/DateTimeFormatDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace qel;
using namespace qel::testing;

namespace {

void expectTicked(QWidget& form, const char16_t* names, bool ticked) {
    for (const QString& name : words(names))
        QVERIFY2(isTicked(form, qPrintable(name)) == ticked, qPrintable(name));
}

void expectEnabled(QWidget& form, const char16_t* names, bool enabled) {
    for (const QString& name : words(names))
        QVERIFY2(isEnabled(form, qPrintable(name)) == enabled, qPrintable(name));
}

RadioGroup* order(QWidget& form, const char* name) {
    return form.findChild<RadioGroup*>(QString::fromLatin1(name));
}

} // namespace

class DateTimeFormatDialogTest : public QObject {
    Q_OBJECT

    NameTables savedNames_;

private Q_SLOTS:
    void init() { savedNames_ = currentNameTables(); }
    void cleanup() { setCurrentNameTables(savedNames_); }

    void controlsHaveTheirCaptionsAndGroups() {
        DateTimeFormatSettings settings;
        DateTimeFormatDialog form(settings);
        QCOMPARE(form.objectName(), u"DateTimeFormatForm"_s);
        QCOMPARE(form.windowTitle(), u"日付と時刻の書式編集"_s);
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        auto* pages = form.findChild<QTabWidget*>(u"PageControl1"_s);
        QVERIFY(pages && pages->count() == 1);
        QCOMPARE(pages->tabText(0), u"挿入項目"_s);

        // Group by group, "*" marking a radio button; each group holds exactly these.
        const char16_t* groups[] = {
            u"YearCheck=「年」表示 *Seireki=西暦 *Wareki=和暦 Seireki2keta=下２ケタ表示 "
            u"GengouRyaku=元号略称",
            u"MonthCheck=「月」表示 *MonthSuuji=数字 *MonthWareki=和暦 *MonthEigo=英語 "
            u"Month0Hyouji=０表示 EigoRyaku=月略称",
            u"DayCheck=「日」表示 Day0Hyouji=０表示",
            u"YoubiCheck=「曜日」表示 *YoubiKanji=漢字 *YoubiEigo=英語 YoubiRyaku=曜日略称 "
            u"YoubiKakko=括弧付",
            u"JiCheck=「時」表示 Ji0Hyouji=０表示 Ji12=１２時間制 *AMPM=AM/PM "
            u"*GozennGogo=午前/午後 AMPMKomoji=小文字",
            u"FunCheck=「分」表示 Fun0Hyouji=０表示",
            u"ByouCheck=「秒」表示 Byou0Hyouji=０表示",
        };
        for (const char16_t* group : groups) {
            const QStringList controls = words(group);
            QGroupBox* box = nullptr;
            for (const QString& control : controls) {
                const bool radio = control.startsWith(u'*');
                const QString name = control.section(u'=', 0, 0).remove(u'*');
                QAbstractButton* b = button(form, qPrintable(name));
                QVERIFY2(b, qPrintable(name));
                if (!box)
                    box = qobject_cast<QGroupBox*>(b->parentWidget());
                QVERIFY2(box && b->parentWidget() == box, qPrintable(name));
                QCOMPARE(b->text(), control.section(u'=', 1));
                QCOMPARE(bool(qobject_cast<QRadioButton*>(b)), radio);
                QCOMPARE(bool(qobject_cast<QCheckBox*>(b)), !radio);
            }
            QCOMPARE(box->findChildren<QAbstractButton*>().size(), controls.size());
        }
        QCOMPARE(button(form, "Tanni")->text(), u"単位付加"_s);
        QCOMPARE(order(form, "DateJunjo")->title(), u"日付の表示順序"_s);
        QCOMPARE(order(form, "DateJunjo")->count(), 2);
        QCOMPARE(order(form, "DateJunjo")->item(0)->text(), u"年-月-日-曜日"_s);
        QCOMPARE(order(form, "DateJunjo")->item(1)->text(), u"日-月-年-曜日"_s);
        QCOMPARE(order(form, "DateTimeJunjo")->title(), u"日付、時刻の表示順序"_s);
        QCOMPARE(order(form, "DateTimeJunjo")->item(0)->text(), u"日付-時刻"_s);
        QCOMPARE(order(form, "DateTimeJunjo")->item(1)->text(), u"時刻-日付"_s);
        auto* ok = form.findChild<QPushButton*>(u"BitBtn1"_s);
        QVERIFY(ok && ok->isDefault() && ok->text() == u"OK"_s);
        QCOMPARE(button(form, "BitBtn2")->text(), u"キャンセル"_s);
    }

    void theStoredChoicesAreShown() {
        DateTimeFormatSettings settings;
        DateTimeFormatDialog defaults(settings);
        expectTicked(defaults,
                     u"YearCheck Seireki MonthCheck MonthSuuji Month0Hyouji DayCheck Day0Hyouji "
                     u"YoubiCheck YoubiKanji YoubiRyaku YoubiKakko JiCheck Ji0Hyouji FunCheck "
                     u"Fun0Hyouji ByouCheck Byou0Hyouji",
                     true);
        expectTicked(defaults,
                     u"Wareki Seireki2keta MonthWareki MonthEigo Ji12 AMPM GozennGogo Tanni",
                     false);
        // The enable rule holds right after filling.
        expectEnabled(defaults, u"Seireki2keta Month0Hyouji", true);
        expectEnabled(defaults, u"GengouRyaku EigoRyaku AMPM", false);

        // Nothing shown: the controls stay as laid out.
        for (QString* item :
             {&settings.yearItem, &settings.monthItem, &settings.dayItem, &settings.weekdayItem,
              &settings.hourItem, &settings.minuteItem, &settings.secondItem})
            item->clear();
        settings.amPmMode = 0; // ignored while the hour is not shown
        DateTimeFormatDialog empty(settings);
        QCOMPARE(empty.controlState(), DateTimeDialogState());
        expectEnabled(empty,
                      u"Seireki2keta GengouRyaku Month0Hyouji EigoRyaku AMPM GozennGogo "
                      u"AMPMKomoji",
                      false);
        expectEnabled(empty,
                      u"YearCheck Seireki Wareki MonthSuuji Day0Hyouji YoubiRyaku YoubiKakko "
                      u"Ji12 Ji0Hyouji Tanni",
                      true);
    }

    void enableRulesFollowClicks() {
        DateTimeFormatSettings settings;
        DateTimeFormatDialog form(settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        click(form, "Wareki");
        QVERIFY(isTicked(form, "Wareki") && !isTicked(form, "Seireki"));
        expectEnabled(form, u"GengouRyaku", true);
        expectEnabled(form, u"Seireki2keta", false);
        click(form, "Seireki");
        expectEnabled(form, u"GengouRyaku", false);
        click(form, "MonthEigo");
        expectEnabled(form, u"EigoRyaku", true);
        expectEnabled(form, u"Month0Hyouji", false);
        QVERIFY(isTicked(form, "Month0Hyouji")); // disabling keeps the check mark
        click(form, "MonthWareki");
        expectEnabled(form, u"EigoRyaku Month0Hyouji", false);
        click(form, "Ji12");
        expectEnabled(form, u"AMPM GozennGogo AMPMKomoji", true);
        click(form, "AMPM");
        click(form, "AMPMKomoji");
        click(form, "GozennGogo");
        QVERIFY(!isTicked(form, "AMPM"));
        click(form, "Ji12");
        expectEnabled(form, u"AMPM GozennGogo AMPMKomoji", false);
        // Radios of different groups do not exclude each other.
        expectTicked(form, u"GozennGogo AMPMKomoji Seireki MonthWareki YoubiKanji", true);
    }

    void okComposesTheChoicesAndShowsThemAgain() {
        DateTimeFormatSettings settings;
        ScriptedDialogs dialogs;
        dialogs.answerExec(chooseEraTwelveHourFormat);
        {
            DateTimeFormatDialog form(settings);
            QCOMPARE(qel::dialogs().exec(form), int(QDialog::Accepted));
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(dialogs.kinds(), QStringList{u"exec"_s}); // it asked nothing of its own
        QCOMPARE(settings.dateFormat, u"[gge'年'm'月'd'日' aaaa]"_s);
        QCOMPARE(settings.timeFormat, u"[h'時'nn'分' ampm]"_s);
        QCOMPARE(settings.dateTimeFormat, u"[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"_s);
        QCOMPARE(settings.unitMode, 1);
        QCOMPARE(settings.amPmMode, 2);
        // OK loaded the Japanese weekday names into the tables in force.
        QCOMPARE(currentNameTables().longDayNames[0], u"日曜日"_s);

        // Reopened, the dialog shows those choices; OK again gives the same patterns.
        const DateTimeFormatSettings once = settings;
        DateTimeFormatDialog again(settings);
        expectTicked(again, u"Tanni Wareki Ji12 GozennGogo", true);
        expectTicked(again, u"GengouRyaku ByouCheck Month0Hyouji", false);
        again.applyAndClose();
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QVERIFY(settings == once);
    }

    void orderGroupsAndEnglishNames() {
        DateTimeFormatSettings settings;
        DateTimeFormatDialog form(settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(order(form, "DateJunjo")->item(1), Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseClick(order(form, "DateTimeJunjo")->item(1), Qt::LeftButton, {}, QPoint(8, 8));
        for (const char* name :
             {"MonthEigo", "EigoRyaku", "YoubiEigo", "Ji12", "AMPM", "AMPMKomoji"})
            click(form, name);
        setTicked(form, "ByouCheck", false);
        click(form, "BitBtn1");
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(settings.dateTimeFormat, u"[hh:nnam/pm dd-mmm-yyyy (ddd)]"_s);
        // The naming modes and the mark are stored for the next start.
        QCOMPARE(settings.monthNumbering, 2);
        QCOMPARE(settings.dayNames, 1);
        QCOMPARE(settings.amPmMode, 1);
        QCOMPARE(currentNameTables().longMonthNames[9], u"Octorber"_s);
    }

    void cancelLeavesTheSettingsAlone() {
        DateTimeFormatSettings settings;
        settings.dateOrder = 7; // not an order the dialog offers
        const DateTimeFormatSettings before = settings;
        const NameTables namesBefore = currentNameTables();
        {
            DateTimeFormatDialog form(settings);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(order(form, "DateJunjo")->itemIndex(), 0); // shown as the first item
            for (const char* name : {"Wareki", "Tanni", "YoubiEigo", "BitBtn2"})
                click(form, name);
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QVERIFY(!form.isVisible());
        }
        QVERIFY(settings == before);
        QVERIFY(currentNameTables() == namesBefore);
        DateTimeFormatDialog(settings).applyAndClose(); // OK stores the order it showed
        QCOMPARE(settings.dateOrder, 0);
        QCOMPARE(settings.dateFormat, u"[yyyy-mm-dd (aaa)]"_s);
    }
};

QTEST_MAIN(DateTimeFormatDialogTest)
#include "DateTimeFormatDialogTest.moc"

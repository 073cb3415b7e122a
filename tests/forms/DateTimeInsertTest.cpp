// Date and time insertion through the main window, with the clock pinned.
#include "datetime/NameTables.h"
#include "forms/Autocopy.h"
#include "forms/Windows.h"
#include "platform/ByteEditor.h"
#include "platform/Clock.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qel;

namespace {

QAbstractButton* button(QWidget& form, const char* name) {
    return form.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// Clicks a control the way a user would.
void click(QWidget& form, const char* name) {
    QAbstractButton* b = button(form, name);
    QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

void setTicked(QWidget& form, const char* name, bool on) {
    QAbstractButton* b = button(form, name);
    QVERIFY2(b, name);
    if (b->isChecked() != on)
        click(form, name);
}

} // namespace

class DateTimeInsertTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    NameTables namesBefore_;

    static QString panel3() {
        return MainForm->findChild<StatusPanels*>(QStringLiteral("StatusBar1"))->panelText(3);
    }
    static ByteEditor* editor() { return MainForm->editor(); }
    static void run(const char* command) {
        MainForm->commands().action(QString::fromLatin1(command))->trigger();
    }

private Q_SLOTS:
    void init() {
        namesBefore_ = currentNameTables();
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder_->path() + u'/');
        dialogs_ = std::make_unique<ScriptedDialogs>();
        setInstalledPrinterCountForTesting(0);
        // Sunday 6 December 2026, 15:04:09.
        pinClock(QDateTime(QDate(2026, 12, 6), QTime(15, 4, 9)));
    }

    void cleanup() {
        QVERIFY(dialogs_->unexpectedCalls().isEmpty());
        dialogs_.reset();
        pinClock(QDateTime());
        setProgramFolder(QString());
        setCurrentNameTables(namesBefore_);
        folder_.reset();
    }

    void aFreshProgramInsertsTheStoredDefaultPatterns() {
        WindowSet windows({});
        MainForm->show();
        run("InsertDateLines");
        QCOMPARE(editor()->text(), QStringLiteral("[2026-12-06(日)]\n"));
        run("InsertTimeNowText");
        QCOMPARE(editor()->text(), QStringLiteral("[2026-12-06(日)]\n[03:04PM]"));
        QVERIFY(MainForm->isModified());
        QCOMPARE(panel3(), QStringLiteral("[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]"));
        // The shortcuts are those of the commands.
        QCOMPARE(MainForm->commands().action(QStringLiteral("InsertDateLines"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+D")));
        QCOMPARE(MainForm->commands().action(QStringLiteral("InsertDateTimeNowText"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Alt+U")));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }

    void aLineGoesAboveTheCaretsLineAndTextReplacesTheSelection() {
        WindowSet windows({});
        editor()->setText(QStringLiteral("first\nsecond line"));
        editor()->setSelection(9, 0); // inside "second line"
        run("InsertDateTimeNowLines");
        QCOMPARE(editor()->text(), QStringLiteral("first\n[2026-12-06(日) 03:04PM]\nsecond line"));

        editor()->setText(QStringLiteral("last"));
        editor()->setSelection(2, 0);
        run("InsertTimeNowLines");
        QCOMPARE(editor()->text(), QStringLiteral("[03:04PM]\nlast"));

        editor()->setText(QStringLiteral("keep THIS keep"));
        editor()->setSelection(5, 4);
        run("InsertDateText");
        QCOMPARE(editor()->text(), QStringLiteral("keep [2026-12-06(日)] keep"));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }

    void theFormatDialogChangesWhatIsInsertedAndItIsRemembered() {
        {
            WindowSet windows({});
            MainForm->show();
            dialogs_->answerExec([](QDialog& dialog) {
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
            run("OpenDateTimeFormat");
            QCOMPARE(dialogs_->calls().last().dialogName, QStringLiteral("DateTimeFormatForm"));
            QCOMPARE(panel3(), QStringLiteral("[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"));
            run("InsertDateTimeNowText");
            QCOMPARE(editor()->text(), QStringLiteral("[令和8年12月6日 日曜日 3時04分 午後]"));
            dialogs_->answer(Answer::No);
            QVERIFY(MainForm->close());
        }
        {
            IniFile stored(folder_->path() + QStringLiteral("/DefaultMain.QelW"));
            QCOMPARE(stored.readString(u"Date&TimeFormat", u"Date&TimeFormat", QString()),
                     QStringLiteral("[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"));
        }
        // The next start inserts the same.
        WindowSet windows({});
        QCOMPARE(panel3(), QStringLiteral("[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"));
        run("InsertDateTimeNowLines");
        QCOMPARE(editor()->text(), QStringLiteral("[令和8年12月6日 日曜日 3時04分 午後]\n"));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }

    void cancellingTheDialogChangesNothing() {
        WindowSet windows({});
        dialogs_->answerExec([](QDialog& dialog) {
            dialog.show();
            click(dialog, "Tanni");
            return int(QDialog::Rejected);
        });
        run("OpenDateTimeFormat");
        run("InsertDateText");
        QCOMPARE(editor()->text(), QStringLiteral("[2026-12-06(日)]"));
        QCOMPARE(panel3(), QStringLiteral("[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]"));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }

    void storedNamingModesAreAppliedAtStart() {
        {
            IniFile ini(folder_->path() + QStringLiteral("/DefaultMain.QelW"));
            ini.writeInteger(u"Date&TimeFormat", u"MonthNumberring", 2);
            ini.writeInteger(u"Date&TimeFormat", u"DayNames", 1);
            ini.writeString(u"Date&TimeFormat", u"DateFormat",
                            QStringLiteral("[mmmm d (dddd) hh:nn ampm]"));
        }
        pinClock(QDateTime(QDate(2026, 10, 4), QTime(0, 0)));
        WindowSet windows({});
        run("InsertDateText");
        QCOMPARE(editor()->text(), QStringLiteral("[Octorber 4 (Sunday) 12:00 午前]"));
        dialogs_->answer(Answer::No);
        QVERIFY(MainForm->close());
    }
};

QTEST_MAIN(DateTimeInsertTest)
#include "DateTimeInsertTest.moc"

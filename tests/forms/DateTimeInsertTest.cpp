// Date and time insertion through the main window, with the clock pinned.
#include "FormTestSupport.h"

#include "settings/IniFile.h"

#include <QDialog>

using namespace qel;
using namespace qel::testing;

namespace {

const QString kEraPattern = u"[gge'年'm'月'd'日' aaaa h'時'nn'分' ampm]"_s;

} // namespace

class DateTimeInsertTest : public QObject, ProgramFixture {
    Q_OBJECT

    void run(const char* name) { command(name)->trigger(); }

private Q_SLOTS:
    void init() {
        setUp();
        pinClock(QDateTime(QDate(2026, 12, 6), QTime(15, 4, 9))); // a Sunday
    }
    void cleanup() { tearDown(); }

    void aLineGoesAboveTheCaretsLineAndTextReplacesTheSelection() {
        start();
        editor()->setText(u"first\nsecond line"_s);
        editor()->setSelection(9, 0); // inside "second line"
        run("InsertDateTimeNowLines");
        QCOMPARE(editor()->text(), u"first\n[2026-12-06(日) 03:04PM]\nsecond line"_s);
        editor()->setText(u"last"_s);
        editor()->setSelection(2, 0);
        run("InsertTimeNowLines");
        QCOMPARE(editor()->text(), u"[03:04PM]\nlast"_s);
        editor()->setText(u"keep THIS keep"_s);
        editor()->setSelection(5, 4);
        run("InsertDateText");
        QCOMPARE(editor()->text(), u"keep [2026-12-06(日)] keep"_s);
    }

    void theFormatDialogChangesWhatIsInsertedAndItIsRemembered() {
        start();
        mainWindow()->show();
        dialogs_->answerExec(chooseEraTwelveHourFormat);
        run("OpenDateTimeFormat");
        QCOMPARE(dialogs_->calls().last().dialogName, u"DateTimeFormatForm"_s);
        QCOMPARE(panel(3), kEraPattern);
        run("InsertDateTimeNowText");
        QCOMPARE(editor()->text(), u"[令和8年12月6日 日曜日 3時04分 午後]"_s);
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(IniFile(path(u"DefaultMain.QelW"_s))
                     .readString(u"Date&TimeFormat", u"Date&TimeFormat", QString()),
                 kEraPattern);

        // The next start inserts the same.
        start();
        QCOMPARE(panel(3), kEraPattern);
        run("InsertDateTimeNowLines");
        QCOMPARE(editor()->text(), u"[令和8年12月6日 日曜日 3時04分 午後]\n"_s);
    }

    void aFreshProgramInsertsTheStoredDefaultPatternsAlsoAfterACancel() {
        start();
        dialogs_->answerExec([](QDialog& dialog) {
            dialog.show();
            click(dialog, "Tanni");
            return int(QDialog::Rejected);
        });
        run("OpenDateTimeFormat");
        run("InsertDateLines");
        QCOMPARE(editor()->text(), u"[2026-12-06(日)]\n"_s);
        run("InsertTimeNowText");
        QCOMPARE(editor()->text(), u"[2026-12-06(日)]\n[03:04PM]"_s);
        QVERIFY(mainWindow()->isModified());
        QCOMPARE(panel(3), u"[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]"_s);
    }

    void storedNamingModesAreAppliedAtStart() {
        {
            IniFile ini(path(u"DefaultMain.QelW"_s));
            ini.writeInteger(u"Date&TimeFormat", u"MonthNumberring", 2);
            ini.writeInteger(u"Date&TimeFormat", u"DayNames", 1);
            ini.writeString(u"Date&TimeFormat", u"DateFormat", u"[mmmm d (dddd) hh:nn ampm]"_s);
        }
        pinClock(QDateTime(QDate(2026, 10, 4), QTime(0, 0)));
        start();
        run("InsertDateText");
        QCOMPARE(editor()->text(), u"[Octorber 4 (Sunday) 12:00 午前]"_s);
    }
};

QTEST_MAIN(DateTimeInsertTest)
#include "DateTimeInsertTest.moc"

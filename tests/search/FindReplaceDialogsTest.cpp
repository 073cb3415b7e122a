// The find and replace dialogs, used as a user would on the offscreen platform. (The
// main window's tests work them against a document.)

#include "platform/FindReplaceDialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace qel;

namespace {

template <typename T> T* child(QWidget& parent, const char* name) {
    T* widget = parent.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

bool enabled(QWidget& dialog, std::initializer_list<const char*> buttons) {
    bool all = true;
    for (const char* name : buttons)
        all = all && child<QPushButton>(dialog, name)->isEnabled();
    return all;
}

} // namespace

class FindReplaceDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bothOpenAtOnceAndSearchOnlyWithAFindText() {
        FindDialog find;
        ReplaceDialog replace;
        find.showDialog();
        replace.showDialog();
        QVERIFY(!find.isModal() && !replace.isModal());
        QVERIFY(find.isVisible() && replace.isVisible());
        QCOMPARE(find.direction(), search::Direction::Down);
        QVERIFY(!find.wholeWord() && !find.matchCase());

        QVERIFY(!enabled(find, {"findNextButton"}));
        QTest::keyClicks(child<QLineEdit>(find, "findText"), u"x"_s);
        QVERIFY(enabled(find, {"findNextButton"}));
        QTest::keyClick(child<QLineEdit>(find, "findText"), Qt::Key_Backspace);
        QVERIFY(!enabled(find, {"findNextButton"}));

        // In the replace dialog a replace text alone is not enough.
        for (const char* name : {"findNextButton", "replaceButton", "replaceAllButton"})
            QVERIFY(!enabled(replace, {name}));
        QTest::keyClicks(child<QLineEdit>(replace, "replaceText"), u"y"_s);
        QVERIFY(!enabled(replace, {"replaceAllButton"}));
        replace.setFindText(u"東京"_s);
        QVERIFY(enabled(replace,
                        {"findNextButton", "replaceButton", "replaceAllButton", "cancelButton"}));
    }

    // (Cancel keeping the find dialog's text and direction is seen from the main window.)
    void escapeAndTheCloseBoxKeepTheTextsAndOptions() {
        QWidget owner;
        QPointer<FindDialog> find = new FindDialog(&owner);
        find->showDialog();
        QTest::keyClicks(child<QLineEdit>(*find, "findText"), u"cat"_s);
        child<QCheckBox>(*find, "wholeWord")->click();
        QTest::keyClick(child<QLineEdit>(*find, "findText"), Qt::Key_Escape);
        QVERIFY(find && !find->isVisible());
        find->showDialog();
        QVERIFY(find->wholeWord() && !find->matchCase());
        QCOMPARE(child<QLineEdit>(*find, "findText")->selectedText(), u"cat"_s);

        QPointer<ReplaceDialog> replace = new ReplaceDialog(&owner);
        replace->showDialog();
        QTest::keyClicks(child<QLineEdit>(*replace, "findText"), u"bar"_s);
        QTest::keyClicks(child<QLineEdit>(*replace, "replaceText"), u"baz"_s);
        child<QCheckBox>(*replace, "matchCase")->click();
        replace->close();
        QVERIFY(replace && !replace->isVisible());
        replace->showDialog();
        const search::ReplaceRequest r = replace->request();
        QCOMPARE(QStringList({r.what, r.with}), QStringList({u"bar"_s, u"baz"_s}));
        QVERIFY(r.options.matchCase && !r.options.wholeWord);
    }

    void buttonsSayWhichWasPressedAndTheDialogsStayOpen() {
        FindDialog find;
        find.showDialog();
        QSignalSpy findNext(&find, &FindDialog::findNext);
        find.setFindText(u"東京"_s);
        child<QPushButton>(find, "findNextButton")->click();
        QTest::keyClick(child<QLineEdit>(find, "findText"), Qt::Key_Return); // Enter too
        QCOMPARE(findNext.count(), 2);
        QVERIFY(find.isVisible());

        ReplaceDialog replace;
        replace.showDialog();
        replace.setFindText(u"a"_s);
        QSignalSpy any(&replace, &ReplaceDialog::actionRequested);
        QSignalSpy replaceAll(&replace, &ReplaceDialog::replaceAll);
        for (const char* name : {"replaceButton", "replaceAllButton", "findNextButton"})
            child<QPushButton>(replace, name)->click();
        QCOMPARE(replaceAll.count(), 1);
        QCOMPARE(any.count(), 3);
        QCOMPARE(any.at(0).at(0).value<search::ReplaceAction>(), search::ReplaceAction::Replace);
        QCOMPARE(any.at(1).at(0).value<search::ReplaceAction>(), search::ReplaceAction::ReplaceAll);
        QCOMPARE(replace.request().action, search::ReplaceAction::FindNext);
        QVERIFY(replace.isVisible());
    }
};

QTEST_MAIN(FindReplaceDialogsTest)

#include "FindReplaceDialogsTest.moc"

// The find and replace dialogs, used as a user would on the offscreen platform.

#include "platform/FindReplaceDialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace qel;

namespace {

template <typename T> T* child(QWidget& parent, const QString& name) {
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

QPushButton* button(QWidget& dialog, const char* name) {
    return child<QPushButton>(dialog, QLatin1String(name));
}

} // namespace

class FindReplaceDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogsAreModelessAndNamed();
    void searchButtonsNeedAFindText();
    void dialogsKeepTheirStateWhenClosed();
    void findNextHandsOverTheState();
    void replaceButtonsSayWhichWasPressed();
};

void FindReplaceDialogsTest::dialogsAreModelessAndNamed() {
    FindDialog find;
    ReplaceDialog replace;
    QCOMPARE(find.objectName(), u"FindDialog1"_s);
    QCOMPARE(replace.objectName(), u"ReplaceDialog1"_s);
    find.showDialog();
    replace.showDialog();
    QVERIFY(!find.isModal());
    QVERIFY(!replace.isModal());
    QVERIFY(find.isVisible() && replace.isVisible()); // both open at once
    QCOMPARE(find.direction(), search::Direction::Down);
    QVERIFY(!find.wholeWord() && !find.matchCase());
}

void FindReplaceDialogsTest::searchButtonsNeedAFindText() {
    FindDialog find;
    find.showDialog();
    auto* findBox = child<QLineEdit>(find, u"findText"_s);
    QVERIFY(!button(find, "findNextButton")->isEnabled());
    QTest::keyClicks(findBox, u"x"_s);
    QVERIFY(button(find, "findNextButton")->isEnabled());
    QTest::keyClick(findBox, Qt::Key_Backspace);
    QVERIFY(!button(find, "findNextButton")->isEnabled());

    ReplaceDialog replace;
    replace.showDialog();
    const char* searches[] = {"findNextButton", "replaceButton", "replaceAllButton"};
    for (const char* name : searches)
        QVERIFY(!button(replace, name)->isEnabled());
    // A replace text alone is not enough.
    QTest::keyClicks(child<QLineEdit>(replace, u"replaceText"_s), u"y"_s);
    for (const char* name : searches)
        QVERIFY(!button(replace, name)->isEnabled());
    replace.setFindText(u"東京"_s);
    for (const char* name : searches)
        QVERIFY(button(replace, name)->isEnabled());
    QVERIFY(button(replace, "cancelButton")->isEnabled());
}

void FindReplaceDialogsTest::dialogsKeepTheirStateWhenClosed() {
    QWidget owner;
    QPointer<FindDialog> find = new FindDialog(&owner);
    find->showDialog();
    QTest::keyClicks(child<QLineEdit>(*find, u"findText"_s), u"cat"_s);
    child<QCheckBox>(*find, u"wholeWord"_s)->click();
    child<QRadioButton>(*find, u"up"_s)->click();
    button(*find, "cancelButton")->click();
    QVERIFY(find);
    QVERIFY(!find->isVisible());

    find->showDialog();
    QVERIFY(find->isVisible());
    QCOMPARE(find->findText(), u"cat"_s);
    QVERIFY(find->wholeWord());
    QVERIFY(!find->matchCase());
    QCOMPARE(find->direction(), search::Direction::Up);
    QCOMPARE(child<QLineEdit>(*find, u"findText"_s)->selectedText(), u"cat"_s);

    // Escape closes it the same way.
    QTest::keyClick(child<QLineEdit>(*find, u"findText"_s), Qt::Key_Escape);
    QVERIFY(find);
    QVERIFY(!find->isVisible());
    QCOMPARE(find->findText(), u"cat"_s);

    QPointer<ReplaceDialog> replace = new ReplaceDialog(&owner);
    replace->showDialog();
    QTest::keyClicks(child<QLineEdit>(*replace, u"findText"_s), u"bar"_s);
    QTest::keyClicks(child<QLineEdit>(*replace, u"replaceText"_s), u"baz"_s);
    child<QCheckBox>(*replace, u"matchCase"_s)->click();
    replace->close();
    QVERIFY(replace);
    QVERIFY(!replace->isVisible());
    replace->showDialog();
    const search::ReplaceRequest r = replace->request();
    QCOMPARE(r.what, u"bar"_s);
    QCOMPARE(r.with, u"baz"_s);
    QVERIFY(r.options.matchCase && !r.options.wholeWord);
}

void FindReplaceDialogsTest::findNextHandsOverTheState() {
    FindDialog find;
    find.showDialog();
    QSignalSpy spy(&find, &FindDialog::findNext);
    find.setFindText(u"東京"_s);
    find.setMatchCase(true);
    find.setDirection(search::Direction::Up);
    button(find, "findNextButton")->click();
    QCOMPARE(spy.count(), 1);
    const search::FindRequest r = find.request();
    QCOMPARE(r.what, u"東京"_s);
    QVERIFY(r.options.matchCase);
    QVERIFY(!r.options.wholeWord);
    QCOMPARE(r.direction, search::Direction::Up);

    // Enter in the find text box is Find Next.
    QTest::keyClick(child<QLineEdit>(find, u"findText"_s), Qt::Key_Return);
    QCOMPARE(spy.count(), 2);
    QVERIFY(find.isVisible()); // it stays open
}

void FindReplaceDialogsTest::replaceButtonsSayWhichWasPressed() {
    ReplaceDialog replace;
    replace.showDialog();
    replace.setFindText(u"a"_s);
    QSignalSpy findSpy(&replace, &ReplaceDialog::findNext);
    QSignalSpy replaceSpy(&replace, &ReplaceDialog::replace);
    QSignalSpy allSpy(&replace, &ReplaceDialog::replaceAll);
    QSignalSpy anySpy(&replace, &ReplaceDialog::actionRequested);

    button(replace, "replaceButton")->click();
    QCOMPARE(replaceSpy.count(), 1);
    QCOMPARE(replace.request().action, search::ReplaceAction::Replace);
    button(replace, "replaceAllButton")->click();
    QCOMPARE(allSpy.count(), 1);
    QCOMPARE(replace.lastAction(), search::ReplaceAction::ReplaceAll);
    button(replace, "findNextButton")->click();
    QCOMPARE(findSpy.count(), 1);
    QCOMPARE(replace.request().action, search::ReplaceAction::FindNext);

    QCOMPARE(anySpy.count(), 3);
    QCOMPARE(anySpy.at(0).at(0).value<search::ReplaceAction>(), search::ReplaceAction::Replace);
    QCOMPARE(anySpy.at(1).at(0).value<search::ReplaceAction>(), search::ReplaceAction::ReplaceAll);
    QVERIFY(replace.isVisible());
}

QTEST_MAIN(FindReplaceDialogsTest)

#include "FindReplaceDialogsTest.moc"

// Find and replace through the main window's own dialogs, as a user works them.
#include "FormTestSupport.h"

#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <functional>

using namespace qel;
using namespace qel::testing;

class FindReplaceTest : public QObject, ProgramFixture {
    Q_OBJECT

    QDialog* dialog(const char* name) const {
        return mainWindow()->findChild<QDialog*>(QString::fromLatin1(name));
    }
    template <typename T> static T* control(QDialog* d, const char* name) {
        return d->findChild<T*>(QString::fromLatin1(name));
    }
    static void typeInto(QDialog* d, const char* field, const QString& text) {
        control<QLineEdit>(d, field)->clear();
        type(control<QLineEdit>(d, field), text);
    }

private Q_SLOTS:
    void init() {
        setUp();
        start();
        mainWindow()->show();
    }
    void cleanup() { tearDown(); }

    void findWalksDownAndUpWithoutWrapping() {
        editor()->setText(QStringLiteral("abc ABC abc"));
        editor()->setSelection(5, 0); // the caret in the middle: the search starts at the top
        mainWindow()->commands().action(QStringLiteral("Find"))->trigger();
        QDialog* find = dialog("FindDialog1");
        QVERIFY(find && find->isVisible());
        QVERIFY(!control<QAbstractButton>(find, "findNextButton")->isEnabled());

        typeInto(find, "findText", QStringLiteral("abc"));
        click(*find, "findNextButton");
        QCOMPARE(editor()->selStart(), qsizetype(0));
        click(*find, "findNextButton"); // "ABC": letter case does not matter
        QCOMPARE(editor()->selStart(), qsizetype(4));
        QCOMPARE(editor()->selText(), QStringLiteral("ABC"));
        click(*find, "findNextButton");
        click(*find, "findNextButton"); // nothing after the last one
        QCOMPARE(dialogs_->texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("指定された文字が見つかりませんでした")});
        QCOMPARE(editor()->selStart(), qsizetype(8));

        QTest::mouseClick(control<QRadioButton>(find, "up"), Qt::LeftButton);
        click(*find, "findNextButton");
        QCOMPARE(editor()->selStart(), qsizetype(4));

        // Closing and opening again keeps the text and the options.
        find->close();
        mainWindow()->showFindDialog();
        QCOMPARE(control<QLineEdit>(find, "findText")->text(), QStringLiteral("abc"));
        QVERIFY(control<QRadioButton>(find, "up")->isChecked());
    }

    // Back in the main window after the dialog (closed with Escape here; a click or
    // Alt+Tab likewise), the match found or the caret left by Replace is where typing
    // goes. The offscreen platform does not move the activation itself; the window
    // system's part is played by setActiveWindow().
    void theMatchFoundIsWhereTypingGoesBackInTheEditor() {
        QVERIFY(activate(mainWindow()));
        editor()->setText(u"cat dog cat"_s);
        editor()->setSelection(5, 0);
        const auto inDialog = [this](const char* name, const std::function<void(QDialog*)>& work) {
            QTest::keyClick(editor(), name[0] == 'F' ? Qt::Key_F : Qt::Key_R, Qt::ControlModifier);
            QDialog* d = dialog(name);
            QApplication::setActiveWindow(d);
            QVERIFY(!mainWindow()->isActiveWindow());
            work(d);
            QVERIFY(d->isVisible()); // still open and usable
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(!d->isVisible());
            QApplication::setActiveWindow(mainWindow());
            QVERIFY(mainWindow()->isActiveWindow());
        };
        const auto findCat = [](QDialog* find) {
            typeInto(find, "findText", u"cat"_s);
            click(*find, "findNextButton");
        };
        inDialog("FindDialog1", findCat);
        QCOMPARE(editor()->selStart(), qsizetype(0));
        QCOMPARE(editor()->selText(), u"cat"_s);
        // Searching again goes on past the match, and typing replaces it.
        inDialog("FindDialog1", findCat);
        QCOMPARE(editor()->selStart(), qsizetype(8));
        type(editor(), u"#"_s);
        QCOMPARE(editor()->text(), u"cat dog #"_s);

        // The caret after Replace.
        editor()->setText(u"foo bar foo"_s);
        editor()->setSelection(0, 0);
        inDialog("ReplaceDialog1", [](QDialog* replace) {
            typeInto(replace, "findText", u"bar"_s);
            typeInto(replace, "replaceText", u"X"_s);
            click(*replace, "replaceButton");
        });
        type(editor(), u"#"_s);
        QCOMPARE(editor()->text(), u"foo X# foo"_s);

        // Leaving the window otherwise still brings back the caret alone.
        editor()->setSelection(0, 3);
        QApplication::setActiveWindow(subWindow(1));
        QApplication::setActiveWindow(mainWindow());
        QCOMPARE(editor()->selStart(), qsizetype(0));
        QCOMPARE(editor()->selLength(), qsizetype(0));
    }

    void replaceAllIsOneEditReachingEveryWindow() {
        mainWindow()->toggleSubWindow(1);
        editor()->setText(QStringLiteral("日本の本と本"));
        mainWindow()->showReplaceDialog();
        QDialog* replace = dialog("ReplaceDialog1");
        typeInto(replace, "findText", QStringLiteral("本"));
        typeInto(replace, "replaceText", QStringLiteral("ほん"));
        click(*replace, "replaceAllButton");

        // Every occurrence, also those the growing text pushes past the old end.
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんとほん"));
        QCOMPARE(dialogs_->texts(QStringLiteral("message")),
                 QStringList{QStringLiteral("置き換えが終了しました")});
        QCOMPARE(allTexts(), fourTimes(editor()->text()));
        QCOMPARE(panel(1), QStringLiteral("全1行：18bytes"));
        QVERIFY(mainWindow()->windowTitle().endsWith(QStringLiteral(" (変更有り)")));
        // The caret stands after the last replacement, as after a single Replace.
        QCOMPARE(editor()->selStart(), qsizetype(18));
        QCOMPARE(editor()->selLength(), qsizetype(0));

        editor()->undo(); // one step takes the whole Replace All back
        QCOMPARE(allTexts(), fourTimes(QStringLiteral("日本の本と本")));

        // Replace: a selection that is the find text is replaced at once; otherwise the
        // next occurrence after the caret is found and replaced.
        editor()->setSelection(6, 2);
        click(*replace, "replaceButton");
        QCOMPARE(editor()->text(), QStringLiteral("日本のほんと本"));
        editor()->setSelection(0, 0);
        click(*replace, "replaceButton");
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんと本"));
        QCOMPARE(editor()->selStart(), qsizetype(6)); // after the inserted text
        click(*replace, "replaceButton"); // from the caret on, past the one already done
        QCOMPARE(editor()->text(), QStringLiteral("日ほんのほんとほん"));

        typeInto(replace, "findText", QStringLiteral("無い"));
        click(*replace, "replaceAllButton");
        QCOMPARE(dialogs_->texts(QStringLiteral("message")).last(),
                 QStringLiteral("置き換え可能な文字がありませんでした"));
    }
};

QTEST_MAIN(FindReplaceTest)
#include "FindReplaceTest.moc"

// The scripted dialogs every window test answers through. The window tests use the
// answers and the log all the time; what they rely on without seeing it is that a
// question nobody scripted is caught.
#include "platform/ScriptedDialogs.h"
#include "../TestPrinters.h"

#include <QDialog>
#include <QPrinter>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

TEST(ScriptedDialogs, IsTheServiceWhileItLives) {
    Dialogs* before = installedDialogs();
    {
        ScriptedDialogs outer;
        {
            ScriptedDialogs inner;
            EXPECT_EQ(&dialogs(), &inner);
        }
        EXPECT_EQ(&dialogs(), &outer);
    }
    EXPECT_EQ(installedDialogs(), before);
}

TEST(ScriptedDialogs, UnscriptedQuestionsAreFlaggedAndCancelled) {
    ScriptedDialogs script;
    Dialogs& service = dialogs();
    QPrinter printer;
    QDialog dialog;
    dialogs().message(u"見つかりません。"_s); // messages need no answer
    EXPECT_EQ(service.askYesNoCancel(u"保存しますか?"_s), Answer::Cancel);
    EXPECT_EQ(service.openFile({}), std::nullopt);
    EXPECT_TRUE(service.openFiles({}).isEmpty());
    EXPECT_EQ(service.saveFile({}), std::nullopt);
    EXPECT_EQ(service.chooseFont({}, {}), std::nullopt);
    EXPECT_EQ(service.chooseColor(Qt::red), std::nullopt);
    EXPECT_FALSE(service.print(printer, {}));
    EXPECT_FALSE(service.printerSetup(printer));
    EXPECT_EQ(service.exec(dialog), QDialog::Rejected);
    // A question with buttons of its own gets its escape button.
    EXPECT_EQ(service.choose({u"復元しますか?"_s, {u"復元"_s, u"破棄"_s, u"後で"_s}, 0, 2}), 2);
    EXPECT_EQ(script.unexpectedCalls().size(), 10);
    EXPECT_EQ(script.unexpectedCalls()[0].text, u"保存しますか?"_s);
    EXPECT_EQ(script.unexpectedCalls()[9].choice.buttons.size(), 3);
    EXPECT_EQ(script.calls().size(), 11);
}

TEST(ScriptedDialogs, AnswerMeantForAnotherQuestionWaitsForIt) {
    ScriptedDialogs script;
    script.answerFile(u"/tmp/a.txt"_s);
    script.answer(Answer::No);
    EXPECT_EQ(dialogs().askYesNoCancel(u"保存しますか?"_s), Answer::Cancel);
    ASSERT_EQ(script.unexpectedCalls().size(), 1);
    EXPECT_EQ(script.unexpectedCalls()[0].kind, u"askYesNoCancel"_s);
    EXPECT_EQ(script.pendingAnswers(), 2);
    EXPECT_EQ(dialogs().openFile({}), std::optional<QString>(u"/tmp/a.txt"_s));
    EXPECT_EQ(dialogs().askYesNoCancel(u"保存しますか?"_s), Answer::No);
    EXPECT_EQ(script.pendingAnswers(), 0);
    script.answerChoice(1);
    EXPECT_EQ(
        dialogs().choose({u"開きますか?"_s, {u"変換"_s, u"そのまま"_s, u"キャンセル"_s}, 0, 2}), 1);
    EXPECT_EQ(script.texts(u"choose"_s), QStringList{u"開きますか?"_s});
    EXPECT_EQ(script.kinds(),
              (QStringList{u"askYesNoCancel"_s, u"openFile"_s, u"askYesNoCancel"_s, u"choose"_s}));
}

} // namespace
} // namespace qel

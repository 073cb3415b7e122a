#include "platform/ScriptedDialogs.h"
#include "QtPrinters.h"

#include <QDialog>
#include <QLineEdit>
#include <QPrinter>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

FileRequest saveRequest() {
    FileRequest request;
    request.title = u"名前を付けて保存"_s;
    request.filters = QStringList{u"テキスト (*.txt)"_s, u"すべてのファイル (*)"_s};
    request.selectedFilter = 1;
    request.defaultExtension = u"txt"_s;
    request.proposedName = u"メモ.txt"_s;
    request.overwritePrompt = true;
    return request;
}

TEST(ScriptedDialogs, IsTheServiceWhileItLives) {
    Dialogs* before = installedDialogs();
    {
        ScriptedDialogs outer;
        EXPECT_EQ(&dialogs(), &outer);
        {
            ScriptedDialogs inner;
            EXPECT_EQ(&dialogs(), &inner);
        }
        EXPECT_EQ(&dialogs(), &outer);
    }
    EXPECT_EQ(installedDialogs(), before);
}

TEST(ScriptedDialogs, AnswersInTheOrderScriptedAndLogsWhatWasAsked) {
    ScriptedDialogs script;
    script.answer(Answer::No);
    script.answerFile(u"/tmp/報告.txt"_s);
    script.answer(Answer::Yes);

    Dialogs& service = dialogs();
    EXPECT_EQ(service.askYesNoCancel(u"変更を保存しますか?"_s), Answer::No);
    EXPECT_EQ(service.saveFile(saveRequest()), std::optional<QString>(u"/tmp/報告.txt"_s));
    EXPECT_EQ(service.askYesNoCancel(u"上書きしますか?"_s), Answer::Yes);

    EXPECT_EQ(script.kinds(),
              (QStringList{u"askYesNoCancel"_s, u"saveFile"_s, u"askYesNoCancel"_s}));
    EXPECT_EQ(script.texts(u"askYesNoCancel"_s),
              (QStringList{u"変更を保存しますか?"_s, u"上書きしますか?"_s}));
    EXPECT_EQ(script.calls()[1].file, saveRequest());
    EXPECT_TRUE(script.unexpectedCalls().isEmpty());
    EXPECT_EQ(script.pendingAnswers(), 0);
}

TEST(ScriptedDialogs, UnscriptedQuestionsAreFlaggedAndCancelled) {
    ScriptedDialogs script;
    Dialogs& service = dialogs();
    QPrinter printer;
    QDialog dialog;

    EXPECT_EQ(service.askYesNoCancel(u"保存しますか?"_s), Answer::Cancel);
    EXPECT_EQ(service.openFile({}), std::nullopt);
    EXPECT_TRUE(service.openFiles({}).isEmpty());
    EXPECT_EQ(service.saveFile({}), std::nullopt);
    EXPECT_EQ(service.chooseFont({}, {}), std::nullopt);
    EXPECT_EQ(service.chooseColor(Qt::red), std::nullopt);
    EXPECT_FALSE(service.print(printer, {}));
    EXPECT_FALSE(service.printerSetup(printer));
    EXPECT_EQ(service.exec(dialog), QDialog::Rejected);

    EXPECT_EQ(script.unexpectedCalls().size(), 9);
    EXPECT_EQ(script.unexpectedCalls()[0].text, u"保存しますか?"_s);
    EXPECT_EQ(script.unexpectedCalls()[5].color, QColor(Qt::red));
}

TEST(ScriptedDialogs, AnswerMeantForAnotherQuestionWaitsForIt) {
    ScriptedDialogs script;
    script.answerFile(u"/tmp/a.txt"_s);

    EXPECT_EQ(dialogs().askYesNoCancel(u"保存しますか?"_s), Answer::Cancel);
    ASSERT_EQ(script.unexpectedCalls().size(), 1);
    EXPECT_EQ(script.unexpectedCalls()[0].kind, u"askYesNoCancel"_s);
    EXPECT_EQ(script.pendingAnswers(), 1);

    EXPECT_EQ(dialogs().openFile({}), std::optional<QString>(u"/tmp/a.txt"_s));
    EXPECT_EQ(script.pendingAnswers(), 0);
}

TEST(ScriptedDialogs, MessagesNeedNoAnswer) {
    ScriptedDialogs script;
    script.answer(Answer::Yes);
    dialogs().message(u"見つかりません。"_s);
    dialogs().showException(u"メモリが不足しています。"_s);

    EXPECT_EQ(script.kinds(), (QStringList{u"message"_s, u"showException"_s}));
    EXPECT_EQ(script.texts(u"message"_s), QStringList{u"見つかりません。"_s});
    EXPECT_TRUE(script.unexpectedCalls().isEmpty());
    EXPECT_EQ(script.pendingAnswers(), 1);
}

TEST(ScriptedDialogs, ExecLetsTheTestFillInTheDialog) {
    ScriptedDialogs script;
    QDialog dialog;
    dialog.setObjectName(u"FindDialog"_s);
    dialog.setWindowTitle(u"検索"_s);
    auto* what = new QLineEdit(&dialog);
    script.answerExec([](QDialog& shown) {
        shown.findChild<QLineEdit*>()->setText(u"漢字"_s);
        return int(QDialog::Accepted);
    });
    script.answerExec(QDialog::Rejected);

    EXPECT_EQ(dialogs().exec(dialog), QDialog::Accepted);
    EXPECT_EQ(what->text(), u"漢字"_s);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs().exec(dialog), QDialog::Rejected);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    ASSERT_EQ(script.calls().size(), 2);
    EXPECT_EQ(script.calls()[0].dialogName, u"FindDialog"_s);
    EXPECT_EQ(script.calls()[0].text, u"検索"_s);
}

TEST(ScriptedDialogs, PrintAnswerCanSetUpThePrinter) {
    ScriptedDialogs script;
    QPrinter printer;
    script.answerPrint([](QPrinter& chosen) {
        chosen.setOutputFormat(QPrinter::PdfFormat);
        chosen.setOutputFileName(u"/tmp/印刷.pdf"_s);
        return true;
    });
    script.answerPrint(false);
    script.answerPrinterSetup(true);

    const PrintRequest request{.printToFileShown = true, .printToFileChecked = false};
    EXPECT_TRUE(dialogs().print(printer, request));
    EXPECT_EQ(printer.outputFileName(), u"/tmp/印刷.pdf"_s);
    EXPECT_FALSE(dialogs().print(printer, {}));
    EXPECT_TRUE(dialogs().printerSetup(printer));
    EXPECT_EQ(script.calls()[0].print, request);
    EXPECT_TRUE(script.unexpectedCalls().isEmpty());
}

TEST(ScriptedDialogs, FontAndColourAnswersAndRequestsAreKept) {
    ScriptedDialogs script;
    const FontChoice initial{QFont(u"Sans"_s, 10), Qt::black};
    const FontChoice chosen{QFont(u"Serif"_s, 14), Qt::darkBlue};
    const FontRequest limits{.minSize = 8, .maxSize = 72, .effects = false};
    script.answerFont(chosen);
    script.answerColor(QColor(Qt::yellow));
    script.answerColor(std::nullopt);

    EXPECT_EQ(dialogs().chooseFont(initial, limits), chosen);
    EXPECT_EQ(dialogs().chooseColor(Qt::white), QColor(Qt::yellow));
    EXPECT_EQ(dialogs().chooseColor(Qt::white), std::nullopt);

    EXPECT_EQ(script.calls()[0].font, initial);
    EXPECT_EQ(script.calls()[0].fontRequest, limits);
    EXPECT_EQ(script.calls()[1].color, QColor(Qt::white));
    EXPECT_TRUE(script.unexpectedCalls().isEmpty());
}

TEST(ScriptedDialogs, ClearingTheLogKeepsTheScript) {
    ScriptedDialogs script;
    script.answer(Answer::Yes);
    dialogs().message(u"一"_s);
    dialogs().openFile({});
    script.clearCalls();
    EXPECT_TRUE(script.calls().isEmpty());
    EXPECT_TRUE(script.unexpectedCalls().isEmpty());
    EXPECT_EQ(dialogs().askYesNoCancel(u"二"_s), Answer::Yes);
}

} // namespace
} // namespace qel

#pragma once

#include "platform/Dialogs.h"

#include <QList>

#include <concepts>
#include <deque>
#include <functional>
#include <variant>

namespace qel {

// A Dialogs service for tests: every question is answered from a script the test
// writes beforehand, and every call is logged with what it was asked.
//
//     ScriptedDialogs dialogs;                 // installed until it goes out of scope
//     dialogs.answer(Answer::No);
//     dialogs.answerFile(u"/tmp/a.txt"_s);
//     window.close();                          // asks "save?", then for a file name
//     EXPECT_EQ(dialogs.kinds(), (QStringList{u"askYesNoCancel"_s, u"saveFile"_s}));
//     EXPECT_TRUE(dialogs.unexpectedCalls().isEmpty());
//
// Answers are used in the order given, each by a call of its own kind. A call that
// finds no answer, or finds an answer meant for another kind of call at the head of
// the script, is recorded in unexpectedCalls() and gets the cancel-like default
// (Cancel, no file, no font, false, QDialog::Rejected); the answer stays queued.
// message() and showException() take no answer; they are only logged.
class ScriptedDialogs : public Dialogs {
public:
    // One call as it was made. Only the members that belong to the kind are set:
    //   message, askYesNoCancel, showException    text
    //   choose                                     choice (and text: its text)
    //   openFile, openFiles, saveFile              file
    //   chooseFont                                 font (the initial one), fontRequest
    //   chooseColor                                color (the initial one)
    //   print                                      print
    //   printerSetup                               -
    //   exec                                       dialogName (objectName), text (title)
    struct Call {
        QString kind;
        QString text;
        FileRequest file;
        FontChoice font;
        FontRequest fontRequest;
        QColor color;
        PrintRequest print;
        QString dialogName;
        Choice choice;
    };

    // Installs itself as the application's service; the destructor puts back the one
    // that was installed before.
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The script.
    void answer(Answer reply);     // askYesNoCancel
    void answerChoice(int button); // choose: the index of the button pressed
    // openFile, saveFile; nullopt or an empty path answers Cancel.
    void answerFile(std::optional<QString> path);
    void answerFiles(QStringList paths); // openFiles
    void answerFont(std::optional<FontChoice> choice);
    void answerColor(std::optional<QColor> color);
    // (A template so that a lambda does not also match as a bool.)
    template <std::same_as<bool> Accepted> void answerPrint(Accepted accepted) {
        answerPrintResult(accepted);
    }
    // Lets the test set up the printer (output file, page range) as the user would.
    void answerPrint(std::function<bool(QPrinter&)> reply);
    void answerPrinterSetup(bool accepted);
    void answerExec(int result);
    // Lets the test fill in the dialog as the user would; returns the result code.
    void answerExec(std::function<int(QDialog&)> reply);

    // The log.
    const QList<Call>& calls() const { return calls_; }
    QStringList kinds() const;                    // calls().kind, in order
    QStringList texts(const QString& kind) const; // the texts of the calls of one kind
    const QList<Call>& unexpectedCalls() const { return unexpected_; }
    int pendingAnswers() const { return int(script_.size()); }
    void clearCalls();

    void message(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    int choose(const Choice& choice) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    QStringList openFiles(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                         const FontRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool print(QPrinter& printer, const PrintRequest& request) override;
    bool printerSetup(QPrinter& printer) override;
    int exec(QDialog& dialog) override;
    void showException(const QString& text) override;

private:
    struct ChoiceReply {
        int button;
    };
    struct FileReply {
        QString path; // empty: cancelled
    };
    struct FilesReply {
        QStringList paths;
    };
    struct FontReply {
        std::optional<FontChoice> choice;
    };
    struct ColorReply {
        std::optional<QColor> color;
    };
    struct PrintReply {
        std::function<bool(QPrinter&)> reply;
    };
    struct SetupReply {
        bool accepted;
    };
    struct ExecReply {
        std::function<int(QDialog&)> reply;
    };
    using Reply = std::variant<Answer, ChoiceReply, FileReply, FilesReply, FontReply, ColorReply,
                               PrintReply, SetupReply, ExecReply>;

    void answerPrintResult(bool accepted);

    // Logs `call` and takes the next answer if it is a T; otherwise logs the call as
    // unexpected and returns nullopt.
    template <typename T> std::optional<T> take(Call call);

    Dialogs* previous_;
    std::deque<Reply> script_;
    QList<Call> calls_;
    QList<Call> unexpected_;
};

} // namespace qel

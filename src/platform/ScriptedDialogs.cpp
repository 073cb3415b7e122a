#include "platform/ScriptedDialogs.h"

#include <QDialog>

namespace qel {

ScriptedDialogs::ScriptedDialogs() : previous_(installedDialogs()) {
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    if (installedDialogs() == this)
        setDialogs(previous_);
}

void ScriptedDialogs::answer(Answer reply) {
    script_.emplace_back(reply);
}

void ScriptedDialogs::answerChoice(int button) {
    script_.emplace_back(ChoiceReply{button});
}

void ScriptedDialogs::answerFile(std::optional<QString> path) {
    script_.emplace_back(FileReply{path.value_or(QString())});
}

void ScriptedDialogs::answerFiles(QStringList paths) {
    script_.emplace_back(FilesReply{std::move(paths)});
}

void ScriptedDialogs::answerFont(std::optional<FontChoice> choice) {
    script_.emplace_back(FontReply{std::move(choice)});
}

void ScriptedDialogs::answerColor(std::optional<QColor> color) {
    script_.emplace_back(ColorReply{color});
}

void ScriptedDialogs::answerPrintResult(bool accepted) {
    script_.emplace_back(PrintReply{[accepted](QPrinter&) { return accepted; }});
}

void ScriptedDialogs::answerPrint(std::function<bool(QPrinter&)> reply) {
    script_.emplace_back(PrintReply{std::move(reply)});
}

void ScriptedDialogs::answerPrinterSetup(bool accepted) {
    script_.emplace_back(SetupReply{accepted});
}

void ScriptedDialogs::answerExec(int result) {
    script_.emplace_back(ExecReply{[result](QDialog&) { return result; }});
}

void ScriptedDialogs::answerExec(std::function<int(QDialog&)> reply) {
    script_.emplace_back(ExecReply{std::move(reply)});
}

QStringList ScriptedDialogs::kinds() const {
    QStringList result;
    for (const Call& call : calls_)
        result.append(call.kind);
    return result;
}

QStringList ScriptedDialogs::texts(const QString& kind) const {
    QStringList result;
    for (const Call& call : calls_) {
        if (call.kind == kind)
            result.append(call.text);
    }
    return result;
}

void ScriptedDialogs::clearCalls() {
    calls_.clear();
    unexpected_.clear();
}

template <typename T> std::optional<T> ScriptedDialogs::take(Call call) {
    calls_.append(call);
    if (script_.empty() || !std::holds_alternative<T>(script_.front())) {
        unexpected_.append(std::move(call));
        return std::nullopt;
    }
    std::optional<T> reply(std::in_place, std::move(std::get<T>(script_.front())));
    script_.pop_front();
    return reply;
}

namespace {

ScriptedDialogs::Call callOf(const char16_t* kind) {
    ScriptedDialogs::Call call;
    call.kind = QString::fromUtf16(kind);
    return call;
}

} // namespace

void ScriptedDialogs::message(const QString& text) {
    Call call = callOf(u"message");
    call.text = text;
    calls_.append(call);
}

Answer ScriptedDialogs::askYesNoCancel(const QString& text) {
    Call call = callOf(u"askYesNoCancel");
    call.text = text;
    return take<Answer>(call).value_or(Answer::Cancel);
}

int ScriptedDialogs::choose(const Choice& choice) {
    Call call = callOf(u"choose");
    call.text = choice.text;
    call.choice = choice;
    const auto reply = take<ChoiceReply>(call);
    return reply ? reply->button : choice.escapeButton;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
    Call call = callOf(u"openFile");
    call.file = request;
    const auto reply = take<FileReply>(call);
    return reply && !reply->path.isEmpty() ? std::optional(reply->path) : std::nullopt;
}

QStringList ScriptedDialogs::openFiles(const FileRequest& request) {
    Call call = callOf(u"openFiles");
    call.file = request;
    const auto reply = take<FilesReply>(call);
    return reply ? reply->paths : QStringList();
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) {
    Call call = callOf(u"saveFile");
    call.file = request;
    const auto reply = take<FileReply>(call);
    return reply && !reply->path.isEmpty() ? std::optional(reply->path) : std::nullopt;
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(const FontChoice& initial,
                                                      const FontRequest& request) {
    Call call = callOf(u"chooseFont");
    call.font = initial;
    call.fontRequest = request;
    const auto reply = take<FontReply>(call);
    return reply ? reply->choice : std::nullopt;
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor& initial) {
    Call call = callOf(u"chooseColor");
    call.color = initial;
    const auto reply = take<ColorReply>(call);
    return reply ? reply->color : std::nullopt;
}

bool ScriptedDialogs::print(QPrinter& printer, const PrintRequest& request) {
    Call call = callOf(u"print");
    call.print = request;
    const auto reply = take<PrintReply>(call);
    return reply && reply->reply(printer);
}

bool ScriptedDialogs::printerSetup(QPrinter&) {
    const auto reply = take<SetupReply>(callOf(u"printerSetup"));
    return reply && reply->accepted;
}

int ScriptedDialogs::exec(QDialog& dialog) {
    Call call = callOf(u"exec");
    call.text = dialog.windowTitle();
    call.dialogName = dialog.objectName();
    const auto reply = take<ExecReply>(call);
    if (!reply)
        return QDialog::Rejected;
    const int result = reply->reply(dialog);
    dialog.setResult(result);
    return result;
}

void ScriptedDialogs::showException(const QString& text) {
    Call call = callOf(u"showException");
    call.text = text;
    calls_.append(call);
}

} // namespace qel

#pragma once

// An editor made of a string and a selection, for driving the search commands.

#include "QStringPrinter.h"

#include "search/SearchCommands.h"
#include "text/Cp932.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace qel::search::testing {

class FakeEditor : public SearchEditor {
public:
    explicit FakeEditor(QString text = {}) : text_(std::move(text)) {}

    // Selection in character positions, for setting up a test.
    void selectChars(qsizetype start, qsizetype length) {
        anchor_ = start;
        caret_ = start + length;
    }
    void setCaretChar(qsizetype position) { anchor_ = caret_ = position; }
    qsizetype caretChar() const { return caret_; }

    QStringList messages;
    int searches = 0;
    int focused = 0;
    int edits = 0;

    QString text() const override { return text_; }
    qsizetype byteLength() const override { return cp932::byteLength(text_); }
    qsizetype selStart() const override {
        return cp932::byteOffset(text_, std::min(anchor_, caret_));
    }
    qsizetype selLength() const override {
        return cp932::byteOffset(text_, std::max(anchor_, caret_)) - selStart();
    }
    QString selText() const override {
        return text_.mid(std::min(anchor_, caret_), std::abs(caret_ - anchor_));
    }
    void setSelection(qsizetype start, qsizetype length) override {
        const qsizetype total = byteLength();
        start = std::clamp<qsizetype>(start, 0, total);
        length = std::clamp<qsizetype>(length, 0, total - start);
        anchor_ = cp932::charPosition(text_, start);
        caret_ = cp932::charPosition(text_, start + length);
    }
    void replaceSelection(const QString& text) override {
        const qsizetype from = std::min(anchor_, caret_);
        text_.replace(from, std::abs(caret_ - anchor_), text);
        anchor_ = caret_ = from + text.size();
        ++edits;
    }
    void focus() override { ++focused; }
    qsizetype find(const QString& what, qsizetype start, qsizetype length,
                   Options options) override {
        ++searches;
        return search::find(text_, what, start, length, options);
    }
    void applyReplaceAll(const ReplaceAllResult& result) override {
        text_.replace(result.position, result.removed, result.insertedText().toString());
        anchor_ = caret_ = result.caret;
        ++edits;
    }
    void message(const QString& text) override { messages << text; }

private:
    QString text_;
    qsizetype anchor_ = 0;
    qsizetype caret_ = 0;
};

} // namespace qel::search::testing

#include "ByteEditor.h"

#include "LoadProgress.h"
#include "settings/FileContent.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>

namespace qel {

using textmodel::TextDocument;

ByteEditor::ByteEditor(QWidget* parent) : TextView(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    followDocument();
    connect(this, &TextView::documentSet, this, &ByteEditor::followDocument);
}

void ByteEditor::followDocument() {
    disconnect(documentChanged_);
    documentChanged_ =
        connect(document(), &TextDocument::changed, this, [this] { Q_EMIT changed(); });
}

QString ByteEditor::text() const {
    return document()->text();
}

void ByteEditor::setText(const QString& text) {
    commitComposing();
    const qsizetype before = document()->length();
    edit(0, before, text);
    // Callers rely on a change notice even when nothing changed.
    if (before == 0 && document()->isEmpty())
        Q_EMIT changed();
}

qsizetype ByteEditor::byteLength() const {
    return document()->byteLength();
}

int ByteEditor::lineCount() const {
    const TextDocument* doc = document();
    const qsizetype lines = doc->lineCount();
    const bool lastEmpty = doc->isEmpty() || doc->at(doc->length() - 1) == u'\n';
    return int(lastEmpty ? lines - 1 : lines);
}

qsizetype ByteEditor::byteOffsetOf(qsizetype position) const {
    return document()->byteOffsetOf(position);
}

qsizetype ByteEditor::positionOf(qsizetype byteOffset) const {
    return document()->positionOfByte(byteOffset);
}

qsizetype ByteEditor::selStart() const {
    return byteOffsetOf(selectionStart());
}

qsizetype ByteEditor::selLength() const {
    return byteOffsetOf(selectionEnd()) - byteOffsetOf(selectionStart());
}

QString ByteEditor::selText() const {
    return selectedText();
}

void ByteEditor::setSelection(qsizetype start, qsizetype length) {
    const qsizetype total = byteLength();
    start = std::clamp<qsizetype>(start, 0, total);
    length = std::clamp<qsizetype>(length, 0, total - start);
    select(positionOf(start), positionOf(start + length));
    ensureCaretVisible();
}

void ByteEditor::replaceSelection(const QString& text) {
    insertText(text);
}

qsizetype ByteEditor::findText(const QString& what, qsizetype start, qsizetype length,
                               search::Options options) const {
    const search::Pattern pattern(what, options);
    const qsizetype k = pattern.size();
    const qsizetype total = byteLength();
    start = std::max<qsizetype>(start, 0);
    if (k == 0 || length < 0 || start > total)
        return -1;
    const TextDocument* doc = document();
    const qsizetype endByte = length >= total - start ? total : start + length;
    // Characters from the first one starting at `start` up to the last boundary at or
    // before `endByte`.
    qsizetype from = positionOf(start);
    if (byteOffsetOf(from) < start)
        ++from;
    const qsizetype endPos = endByte >= total ? doc->length() : positionOf(endByte);
    if (endPos - from < k)
        return -1;

    // A stretch at a time, each read with the character before it and the one after
    // it, which decide whether a candidate is a whole word. Stretches start small (the
    // next match is often near) and grow.
    qsizetype stretch = std::max<qsizetype>(1024, 2 * k);
    for (;; stretch = std::min<qsizetype>(stretch * 2, std::max<qsizetype>(256 * 1024, 2 * k))) {
        const qsizetype until = std::min(endPos, from + stretch);
        const qsizetype bufferStart = std::max<qsizetype>(from - 1, 0);
        const QString buffer = doc->text(bufferStart, std::min(doc->length(), until + 1));
        const qsizetype at = pattern.indexIn(buffer, from - bufferStart, until - bufferStart);
        if (at >= 0)
            return byteOffsetOf(bufferStart + at);
        if (until >= endPos)
            return -1;
        from = std::max(from, until - k + 1);
    }
}

void ByteEditor::replaceCharacters(qsizetype position, qsizetype removed, QStringView inserted,
                                   qsizetype caret) {
    const Committed committed = commitComposing();
    position = committed.map(position);
    caret = committed.map(caret);
    const qsizetype count = document()->length();
    position = std::clamp<qsizetype>(position, 0, count);
    removed = std::clamp<qsizetype>(removed, 0, count - position);
    if (removed > 0 || !inserted.isEmpty())
        edit(position, removed, inserted.toString());
    setCursorPosition(std::clamp<qsizetype>(caret, 0, document()->length()));
    ensureCaretVisible();
}

void ByteEditor::replaceInTurn(const std::vector<qsizetype>& positions, qsizetype length,
                               const QString& with) {
    const Committed committed = commitComposing();
    std::vector<qsizetype> moved = positions;
    // Each position is in the text as the replacements before it left it.
    qsizetype at = committed.position;
    for (qsizetype& p : moved) {
        if (p >= at)
            p += committed.length;
        else
            at += with.size() - length;
    }
    document()->replaceInTurn(moved, length, with, this);
}

int ByteEditor::caretLine() const {
    return int(document()->lineOf(cursorPosition()));
}

qsizetype ByteEditor::caretColumn() const {
    const TextDocument* doc = document();
    const qsizetype caret = cursorPosition();
    return doc->byteOffsetOf(caret) - doc->byteOffsetOf(doc->lineStart(doc->lineOf(caret)));
}

void ByteEditor::insertLine(int index, const QString& line) {
    commitComposing();
    const TextDocument* doc = document();
    index = std::max(index, 0);
    if (index < lineCount()) {
        editAround(doc->lineStart(index), 0, line + u'\n');
    } else {
        const bool endsWithBreak = doc->isEmpty() || doc->at(doc->length() - 1) == u'\n';
        editAround(doc->length(), 0,
                   (endsWithBreak ? QString() : QStringLiteral("\n")) + line + u'\n');
    }
}

void ByteEditor::markSaved() {
    document()->markSaved();
}

bool ByteEditor::differsFromSaved() const {
    return document()->differsFromSaved();
}

void ByteEditor::loadFromFile(const QString& path) {
    commitComposing();
    // The file is read here, once, a piece at a time, and decoded as it comes.
    const RegularFileSource file(path);
    textmodel::TextLoader loader(file, loadTuning().loader);
    waitForLoad(loader, QFileInfo(path).fileName());
    document()->load(loader.take());
}

QByteArray ByteEditor::encoded() const {
    return document()->encoded();
}

void ByteEditor::saveToFile(const QString& path) const {
    // A piece at a time: a big document is not copied whole into its bytes.
    writeWholeFile(path, [this](const PieceWriter& write) { document()->encode(write); });
}

void ByteEditor::print(QPrinter* printer) const {
    QTextDocument pages;
    pages.setDefaultFont(font());
    pages.setPlainText(text());
    pages.print(printer);
}

QColor ByteEditor::backgroundColor() const {
    return palette().color(QPalette::Base);
}

void ByteEditor::setBackgroundColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

QColor ByteEditor::textColor() const {
    return palette().color(QPalette::Text);
}

void ByteEditor::setTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

void ByteEditor::setHint(const QString& hint) {
    hint_ = hint;
    updateToolTip();
}

void ByteEditor::setShowHint(bool show) {
    showHint_ = show;
    updateToolTip();
}

void ByteEditor::updateToolTip() {
    setToolTip(showHint_ ? hint_ : QString());
}

void ByteEditor::keyReleaseEvent(QKeyEvent* event) {
    TextView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT keyUp(event->key(), event->modifiers());
}

void ByteEditor::mousePressEvent(QMouseEvent* event) {
    // After the caret has moved, so that a handler sees where the click put it.
    TextView::mousePressEvent(event);
    Q_EMIT mouseDown(event->button(), event->modifiers());
}

} // namespace qel

#include "ByteEditor.h"

#include "platform/MirrorGroup.h"
#include "settings/FileContent.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace qel {

ByteEditor::ByteEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lineBytes_.assign(1, 0);
    connect(document(), &QTextDocument::contentsChange, this, &ByteEditor::onContentsChange);
    connect(this, &QPlainTextEdit::textChanged, this, &ByteEditor::changed);
}

void ByteEditor::onContentsChange(int position, int removed, int added) {
    cp932::adjustAlternates(alternates_, position, removed, added);

    const qsizetype length = document()->characterCount() - 1;
    samePrefix_ = std::min<qsizetype>(samePrefix_, position);
    sameSuffix_ = std::clamp<qsizetype>(length - (position + added), 0, sameSuffix_);

    // Lines [first, last] of the new text replace the old lines that covered the
    // change; their count follows from the change in block count.
    const QTextDocument* doc = document();
    const QTextBlock firstBlock = doc->findBlock(position);
    int first = firstBlock.isValid() ? firstBlock.blockNumber() : 0;
    QTextBlock lastBlock = doc->findBlock(position + added);
    if (!lastBlock.isValid())
        lastBlock = doc->lastBlock();
    const int last = std::max(first, lastBlock.blockNumber());
    const qsizetype newCount = doc->blockCount();
    const qsizetype oldCount = static_cast<qsizetype>(lineBytes_.size());
    qsizetype oldSpan = (last - first + 1) - (newCount - oldCount);
    oldSpan = std::clamp<qsizetype>(oldSpan, 0, oldCount - first);

    // The lines of the change are measured when an offset first needs them: an editor
    // that only mirrors a big edit may never be asked.
    lineBytes_.erase(lineBytes_.begin() + first, lineBytes_.begin() + first + oldSpan);
    lineBytes_.insert(lineBytes_.begin() + first, last - first + 1, kUnmeasured);
    if (static_cast<qsizetype>(lineBytes_.size()) != newCount) {
        // Should not happen; recount rather than show wrong offsets.
        lineBytes_.assign(doc->blockCount(), kUnmeasured);
        first = 0;
    }
    prefixValid_ = std::min<std::size_t>(prefixValid_, first);
}

qsizetype ByteEditor::lineStart(int line) const {
    const std::size_t wanted = static_cast<std::size_t>(line);
    if (prefix_.size() < lineBytes_.size() + 1)
        prefix_.resize(lineBytes_.size() + 1);
    if (prefixValid_ == 0) {
        prefix_[0] = 0;
        prefixValid_ = 1;
    }
    const std::size_t end = std::min(wanted + 1, lineBytes_.size() + 1);
    qsizetype* const sums = prefix_.data();
    for (std::size_t i = prefixValid_; i < end; ++i) {
        const qsizetype bytes = lineBytes_[i - 1];
        sums[i] = sums[i - 1] + (bytes != kUnmeasured ? bytes : lineLength(int(i - 1))) + 2;
    }
    prefixValid_ = std::max(prefixValid_, end);
    return prefix_[wanted];
}

qsizetype ByteEditor::lineLength(int line) const {
    if (lineBytes_[line] == kUnmeasured) {
        // Measure the whole run of unmeasured lines from here in one walk.
        QTextBlock b = document()->findBlockByNumber(line);
        for (std::size_t i = line;
             i < lineBytes_.size() && lineBytes_[i] == kUnmeasured && b.isValid();
             ++i, b = b.next())
            lineBytes_[i] = cp932::byteLength(b.text());
    }
    return lineBytes_[line];
}

qsizetype ByteEditor::byteLength() const {
    ensureCurrent();
    const int lines = static_cast<int>(lineBytes_.size());
    return lineStart(lines - 1) + lineLength(lines - 1);
}

int ByteEditor::lineCount() const {
    ensureCurrent();
    const int blocks = static_cast<int>(lineBytes_.size());
    return document()->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

qsizetype ByteEditor::byteOffsetOf(qsizetype position) const {
    ensureCurrent();
    const QTextBlock block = document()->findBlock(static_cast<int>(position));
    if (!block.isValid())
        return byteLength();
    const qsizetype inLine = std::min<qsizetype>(position - block.position(), block.length() - 1);
    return lineStart(block.blockNumber()) + cp932::byteOffset(block.text(), inLine);
}

qsizetype ByteEditor::positionOf(qsizetype byteOffset) const {
    ensureCurrent();
    if (byteOffset <= 0)
        return 0;
    const int lines = static_cast<int>(lineBytes_.size());
    lineStart(lines - 1); // make every line start known
    const auto begin = prefix_.begin();
    const auto end = begin + lines;
    const int line = static_cast<int>(std::upper_bound(begin, end, byteOffset) - begin) - 1;
    const QTextBlock block = document()->findBlockByNumber(line);
    const qsizetype inLine = byteOffset - prefix_[line];
    if (inLine >= lineLength(line)) // at the end of the line, or inside its line break
        return block.position() + block.length() - 1;
    return block.position() + cp932::charPosition(block.text(), inLine);
}

void ByteEditor::setText(const QString& text) {
    ensureCurrent();
    // Qt sends no change notice when an empty text is set to empty; callers rely on one.
    const bool silent = text.isEmpty() && document()->isEmpty();
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(cp932::toRepresentable(text));
    alternates_.clear();
    if (silent)
        Q_EMIT changed();
}

qsizetype ByteEditor::selStart() const {
    ensureCurrent();
    return byteOffsetOf(textCursor().selectionStart());
}

qsizetype ByteEditor::selLength() const {
    ensureCurrent();
    const QTextCursor c = textCursor();
    return byteOffsetOf(c.selectionEnd()) - byteOffsetOf(c.selectionStart());
}

QString ByteEditor::selText() const {
    ensureCurrent();
    QString s = textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, u'\n');
    return s;
}

void ByteEditor::setSelection(qsizetype start, qsizetype length) {
    ensureCurrent();
    const qsizetype total = byteLength();
    start = std::clamp<qsizetype>(start, 0, total);
    length = std::clamp<qsizetype>(length, 0, total - start);
    QTextCursor c = textCursor();
    c.setPosition(static_cast<int>(positionOf(start)));
    c.setPosition(static_cast<int>(positionOf(start + length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void ByteEditor::replaceSelection(const QString& text) {
    ensureCurrent();
    QTextCursor c = textCursor();
    c.insertText(cp932::toRepresentable(text));
    setTextCursor(c);
}

qsizetype ByteEditor::findText(const QString& what, qsizetype start, qsizetype length,
                               search::Options options) const {
    ensureCurrent();
    const search::Pattern pattern(what, options);
    const qsizetype k = pattern.size();
    const qsizetype total = byteLength();
    start = std::max<qsizetype>(start, 0);
    if (k == 0 || length < 0 || start > total)
        return -1;
    const qsizetype endByte = length >= total - start ? total : start + length;
    // Characters from the first one starting at `start` up to the last boundary at or
    // before `endByte`.
    qsizetype from = positionOf(start);
    if (byteOffsetOf(from) < start)
        ++from;
    const qsizetype endPos =
        endByte >= total ? document()->characterCount() - 1 : positionOf(endByte);
    if (endPos - from < k)
        return -1;

    // Line by line, keeping the character before the next candidate for the word
    // boundary. Every line but the last ends in a line break, which is not a word
    // character, so a candidate ending with the lines read so far can be decided.
    QTextBlock block = document()->findBlock(static_cast<int>(std::max<qsizetype>(from - 1, 0)));
    QString buffer;
    qsizetype bufferStart = block.position();
    for (;;) {
        buffer += block.text();
        block = block.next();
        if (block.isValid())
            buffer += u'\n';
        const qsizetype bufferEnd = bufferStart + buffer.size();
        const bool last = !block.isValid() || bufferEnd >= endPos;
        const qsizetype until = std::min(bufferEnd, endPos);
        const qsizetype at = pattern.indexIn(buffer, from - bufferStart, until - bufferStart);
        if (at >= 0)
            return byteOffsetOf(bufferStart + at);
        if (last)
            return -1;
        from = std::max(from, until - k + 1);
        const qsizetype drop = std::max<qsizetype>(from - 1 - bufferStart, 0);
        buffer.remove(0, drop);
        bufferStart += drop;
    }
}

void ByteEditor::replaceCharacters(qsizetype position, qsizetype removed, QStringView inserted,
                                   qsizetype caret) {
    ensureCurrent();
    const qsizetype count = document()->characterCount() - 1;
    position = std::clamp<qsizetype>(position, 0, count);
    removed = std::clamp<qsizetype>(removed, 0, count - position);
    if (removed > 0 || !inserted.isEmpty()) {
        QTextCursor edit(document());
        edit.setPosition(static_cast<int>(position));
        edit.setPosition(static_cast<int>(position + removed), QTextCursor::KeepAnchor);
        edit.insertText(cp932::toRepresentable(inserted));
    }
    QTextCursor c(document());
    c.setPosition(
        static_cast<int>(std::clamp<qsizetype>(caret, 0, document()->characterCount() - 1)));
    setTextCursor(c);
}

void ByteEditor::replaceInTurn(const std::vector<qsizetype>& positions, qsizetype length,
                               const QString& with) {
    ensureCurrent();
    const QString clean = cp932::toRepresentable(with);
    QTextCursor c(document());
    c.beginEditBlock();
    for (qsizetype at : positions) {
        c.setPosition(static_cast<int>(at));
        c.setPosition(static_cast<int>(at + length), QTextCursor::KeepAnchor);
        c.insertText(clean);
    }
    c.endEditBlock();
}

int ByteEditor::caretLine() const {
    ensureCurrent();
    return textCursor().blockNumber();
}

qsizetype ByteEditor::caretColumn() const {
    ensureCurrent();
    const QTextCursor c = textCursor();
    return cp932::byteOffset(c.block().text(), c.positionInBlock());
}

void ByteEditor::insertLine(int index, const QString& line) {
    ensureCurrent();
    QTextCursor c(document());
    const QString clean = cp932::toRepresentable(line);
    if (index < 0)
        index = 0;
    if (index < lineCount()) {
        c.setPosition(document()->findBlockByNumber(index).position());
        c.insertText(clean + u'\n');
    } else {
        c.movePosition(QTextCursor::End);
        const bool endsWithBreak = document()->lastBlock().length() <= 1;
        c.insertText((endsWithBreak ? QString() : QStringLiteral("\n")) + clean + u'\n');
    }
}

QString ByteEditor::text() const {
    ensureCurrent();
    return toPlainText();
}

void ByteEditor::ensureCurrent() const {
    if (mirrorGroup_)
        mirrorGroup_->bringUpToDate(const_cast<ByteEditor*>(this));
}

void ByteEditor::showEvent(QShowEvent* event) {
    ensureCurrent();
    QPlainTextEdit::showEvent(event);
}

void ByteEditor::focusInEvent(QFocusEvent* event) {
    ensureCurrent();
    QPlainTextEdit::focusInEvent(event);
}

void ByteEditor::markSaved() {
    ensureCurrent();
    savedText_ = toPlainText();
    samePrefix_ = savedText_.size();
    sameSuffix_ = 0;
}

bool ByteEditor::differsFromSaved() const {
    ensureCurrent();
    const qsizetype length = document()->characterCount() - 1;
    if (length != savedText_.size())
        return true;
    const qsizetype begin = std::min(samePrefix_, length);
    const qsizetype end = std::max(begin, length - sameSuffix_);
    if (begin == end)
        return false;
    QTextCursor c(document());
    c.setPosition(static_cast<int>(begin));
    c.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    QString middle = c.selectedText();
    middle.replace(QChar::ParagraphSeparator, u'\n');
    const QStringView saved = QStringView(savedText_).mid(begin, end - begin);
    // Narrow the span still to compare, so the next check costs only the new edits.
    qsizetype head = 0;
    const qsizetype n = std::min(middle.size(), saved.size());
    while (head < n && middle[head] == saved[head])
        ++head;
    if (head == n && middle.size() == saved.size()) {
        samePrefix_ = length;
        sameSuffix_ = 0;
        return false;
    }
    qsizetype tail = 0;
    while (tail < n - head && middle[middle.size() - 1 - tail] == saved[saved.size() - 1 - tail])
        ++tail;
    samePrefix_ = begin + head;
    sameSuffix_ = (length - end) + tail;
    return true;
}

void ByteEditor::loadFromFile(const QString& path) {
    cp932::Decoded decoded = cp932::decode(readRegularFile(path));
    setPlainText(decoded.text);
    alternates_ = std::move(decoded.alternates);
}

QByteArray ByteEditor::encoded() const {
    ensureCurrent();
    return cp932::encode(toPlainText(), alternates_);
}

void ByteEditor::saveToFile(const QString& path) const {
    writeWholeFile(path, encoded());
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

void ByteEditor::keyPressEvent(QKeyEvent* event) {
    ensureCurrent();
    const QString typed = event->text();
    const QString clean = cp932::toRepresentable(typed);
    if (clean == typed || typed.isEmpty()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), clean,
                       event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QPlainTextEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void ByteEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT keyUp(event->key(), event->modifiers());
}

void ByteEditor::mousePressEvent(QMouseEvent* event) {
    // After the caret has moved, so that a handler sees where the click put it.
    QPlainTextEdit::mousePressEvent(event);
    Q_EMIT mouseDown(event->button(), event->modifiers());
}

void ByteEditor::inputMethodEvent(QInputMethodEvent* event) {
    ensureCurrent();
    const QString commit = event->commitString();
    const QString clean = cp932::toRepresentable(commit);
    if (clean == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(clean, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&replaced);
}

void ByteEditor::insertFromMimeData(const QMimeData* source) {
    ensureCurrent();
    if (source == nullptr || !source->hasText())
        return;
    QTextCursor c = textCursor();
    c.insertText(cp932::toRepresentable(source->text()));
    setTextCursor(c);
    ensureCursorVisible();
}

} // namespace qel

#pragma once

#include "search/TextMatch.h"
#include "text/Cp932.h"

#include <QPlainTextEdit>

#include <vector>

namespace qel {

class MirrorGroup;

// The editor control of every editing window: plain text, addressed in code page 932
// byte offsets (a double-byte character counts 2, a line break counts 2).
//
// Per-line byte lengths are kept up to date from the document's change notices, so
// converting between byte offsets and character positions costs one line, not the
// whole document. Text that enters the editor is reduced to what code page 932 can
// hold ("?" for anything else), so what the user sees is what is saved.
class ByteEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ByteEditor(QWidget* parent = nullptr);

    QString text() const;
    // Replaces the whole text (an undoable step); raises changed().
    void setText(const QString& text);

    qsizetype byteLength() const;
    // Lines as the user counts them: an empty last line is not counted.
    int lineCount() const;

    qsizetype selStart() const;
    qsizetype selLength() const;
    QString selText() const;
    // Selects `length` bytes from `start`; offsets are clamped to the text.
    void setSelection(qsizetype start, qsizetype length);
    // Replaces the selection (or inserts at the caret) as one undoable step.
    void replaceSelection(const QString& text);

    // The forward search: byte offset of the first match of `what` lying entirely in
    // the `length` bytes from byte `start` (the range may reach past the end), -1 when
    // there is none; see search::find() for the matching rules. Reads the document a
    // line at a time, so repeated searches do not copy the whole text.
    qsizetype findText(const QString& what, qsizetype start, qsizetype length,
                       search::Options options) const;
    // Replaces `removed` characters at character position `position` by `inserted` as
    // one undoable step (nothing happens to the text when both are empty), then puts
    // the caret at character position `caret` of the new text, nothing selected.
    void replaceCharacters(qsizetype position, qsizetype removed, QStringView inserted,
                           qsizetype caret);
    // Makes a run of replacements as one undoable step: for each position in turn (in
    // the text as it is at that moment), `length` characters give way to `with`.
    void replaceInTurn(const std::vector<qsizetype>& positions, qsizetype length,
                       const QString& with);

    // The group of editors this one is kept equal with, if any.
    MirrorGroup* mirrorGroup() const { return mirrorGroup_; }
    void setMirrorGroup(MirrorGroup* group) { mirrorGroup_ = group; }

    // Caret line (0-based) and byte column within it.
    int caretLine() const;
    qsizetype caretColumn() const;

    // Inserts `line` and a line break at the start of line `index`; past the last
    // line it is appended as a new line.
    void insertLine(int index, const QString& line);

    // Byte offset <-> character position in the document.
    qsizetype byteOffsetOf(qsizetype position) const;
    qsizetype positionOf(qsizetype byteOffset) const;

    // The saved text is the text as it was at the last markSaved() (after a new, load
    // or save). differsFromSaved() compares the whole text with it; the cost follows
    // the span of the edits since, not the size of the document.
    void markSaved();
    bool differsFromSaved() const;

    // Loads a code page 932 file; throws Error with the system's message (or, for
    // anything but a regular file, notRegularFileMessage()) and leaves the editor as it
    // was when the file cannot be read.
    void loadFromFile(const QString& path);
    // Saves as code page 932 with CR LF (see writeWholeFile()); throws Error with the
    // system's message, leaving the old file whole, when it cannot be written.
    void saveToFile(const QString& path) const;
    // The bytes saveToFile() would write.
    QByteArray encoded() const;

    // Colours of the editing area and of the text.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    QColor textColor() const;
    void setTextColor(const QColor& color);

    // The pop-up hint and whether it is shown.
    void setHint(const QString& hint);
    QString hint() const { return hint_; }
    void setShowHint(bool show);
    bool showHint() const { return showHint_; }

Q_SIGNALS:
    // The text changed (typing, editing, or setText()).
    void changed();
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // A hidden editor of a mirror group may hold an older text; anything that reads or
    // edits the text first brings it up to date.
    void ensureCurrent() const;
    void onContentsChange(int position, int removed, int added);
    qsizetype lineStart(int line) const; // byte offset of a line's first byte
    void updateToolTip();

    // Byte length of every line without its line break, and lazily the byte offset of
    // every line's start, valid below prefixValid_.
    // A line not measured since it last changed counts kUnmeasured until asked for.
    static constexpr qsizetype kUnmeasured = -1;
    qsizetype lineLength(int line) const;
    mutable std::vector<qsizetype> lineBytes_;
    mutable std::vector<qsizetype> prefix_;
    mutable std::size_t prefixValid_ = 0;
    std::vector<cp932::AlternateForm> alternates_;
    // Characters known equal to the saved text at the start and at the end.
    QString savedText_;
    mutable qsizetype samePrefix_ = 0;
    mutable qsizetype sameSuffix_ = 0;
    QString hint_;
    bool showHint_ = false;
    MirrorGroup* mirrorGroup_ = nullptr;
};

} // namespace qel

#pragma once

#include "platform/TextView.h"
#include "search/TextMatch.h"

#include <vector>

class QPrinter;

namespace qel {

// The editor control of every editing window: a TextView whose operations are in code
// page 932 byte offsets (a double-byte character counts 2, a line break counts 2).
// Offsets are looked up in the document's line index, never by a pass over the text.
// Text that enters the document is reduced to what code page 932 can hold ("?" for
// anything else), so what the user sees is what is saved.
//
// The main window's editor owns the document; each sub-window's editor shows it too.
class ByteEditor : public TextView {
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
    // Selects `length` bytes from `start` and scrolls it into view; offsets are clamped
    // to the text.
    void setSelection(qsizetype start, qsizetype length);
    // Replaces the selection (or inserts at the caret) as one undoable step.
    void replaceSelection(const QString& text);

    // The forward search: byte offset of the first match of `what` lying entirely in
    // the `length` bytes from byte `start` (the range may reach past the end), -1 when
    // there is none; see search::find() for the matching rules. Reads the document a
    // stretch at a time, so repeated searches do not copy the whole text.
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

    // Caret line (0-based) and byte column within it.
    int caretLine() const;
    qsizetype caretColumn() const;

    // Inserts `line` and a line break at the start of line `index`; past the last
    // line it is appended as a new line. The caret keeps its place in the text.
    void insertLine(int index, const QString& line);

    // Byte offset <-> character position in the document.
    qsizetype byteOffsetOf(qsizetype position) const;
    qsizetype positionOf(qsizetype byteOffset) const;

    // The saved text is the text as it was at the last markSaved() (after a new, load
    // or save). differsFromSaved() compares the whole text with it; the cost follows
    // what the edits since touched, not the size of the document.
    void markSaved();
    bool differsFromSaved() const;

    // Loads a code page 932 file; throws Error with the system's message (or, for
    // anything but a regular file, notRegularFileMessage()) and leaves the editor as it
    // was when the file cannot be read. Nothing is left to undo. A big file shows its
    // progress while it loads (see waitForLoad()); a load cancelled there fails with
    // textmodel::loadCancelledMessage().
    void loadFromFile(const QString& path);
    // Saves as code page 932 with CR LF (see writeWholeFile()); throws Error with the
    // system's message, leaving the old file whole, when it cannot be written.
    void saveToFile(const QString& path) const;
    // The bytes saveToFile() would write.
    QByteArray encoded() const;
    // Prints the whole text in the editor's font.
    void print(QPrinter* printer) const;

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
    // The text changed (typing, editing, undo, a load, or setText()), in this editor
    // or in another view of its document.
    void changed();
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void followDocument();
    void updateToolTip();

    QMetaObject::Connection documentChanged_;
    QString hint_;
    bool showHint_ = false;
};

} // namespace qel

#pragma once

#include "textmodel/PieceTable.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace qel::textmodel {

// A run of replacements as replaceInTurn() was asked to make it: at each position in
// turn, `length` characters gave way to `with` (as it entered the text).
struct ReplacementRun {
    const std::vector<qsizetype>& positions;
    qsizetype length = 0;
    QStringView with;
};

// What an edit, an undo or a load did to the text, in character positions: `removed`
// characters at `position` gave way to `added` ones. The change begins in line `line`
// and took `removedBreaks` line breaks out and put `addedBreaks` in.
struct TextChange {
    enum class Cause { Edit, Undo, Redo, Load };
    qsizetype position = 0;
    qsizetype removed = 0;
    qsizetype added = 0;
    qsizetype line = 0;
    qsizetype removedBreaks = 0;
    qsizetype addedBreaks = 0;
    Cause cause = Cause::Edit;
    const void* source = nullptr; // the view the edit, undo or redo was made in, if any
    // For a run of replacements, the run itself, valid while the change is reported:
    // it says in a few words what may have touched the whole text.
    const ReplacementRun* run = nullptr;
    // The text as it was, while the change is told.
    const PieceTable* before = nullptr;
};

// A view of a document: told of every change before anybody else, so that every
// view's caret and selection are in place when the change handlers of the windows run.
class TextObserver {
public:
    virtual void textChanged(const TextChange& change) = 0;

protected:
    ~TextObserver() = default;
};

// How an edit joins the undo history. Typed characters of one view join the step
// before them while they continue it; every other edit is a step of its own.
enum class EditKind {
    Command,     // a paste, a cut, a delete, a replace, an inserted line: one step each
    TypedInsert, // a typed character (or an input method's text)
    TypedDelete, // Backspace or Delete on one character
};

// One document: its text with a line index in characters, lines and code page 932
// bytes, the codes each loaded character had, one undo history, and the text as it
// was last saved. The text never holds a '\r' or a character code page 932 lacks:
// such characters become '\n' and "?" as they enter.
class TextDocument : public QObject {
    Q_OBJECT
public:
    explicit TextDocument(QObject* parent = nullptr);
    ~TextDocument() override;

    // ---- reading. Positions are character positions; line breaks are '\n'.
    qsizetype length() const { return text_.length(); }
    qsizetype byteLength() const { return text_.measure().bytes; }
    // Line breaks + 1: an empty text has one (empty) line.
    qsizetype lineCount() const { return text_.measure().breaks + 1; }
    bool isEmpty() const { return length() == 0; }
    QChar at(qsizetype position) const { return text_.at(position); }
    QString text() const { return text_.text(0, length()); }
    QString text(qsizetype from, qsizetype to) const { return text_.text(from, to); }
    qsizetype lineOf(qsizetype position) const;
    qsizetype lineStart(qsizetype line) const;
    // Where the line's break is, or the end of the text for the last line.
    qsizetype lineEnd(qsizetype line) const;
    QString lineText(qsizetype line) const { return text(lineStart(line), lineEnd(line)); }
    qsizetype byteOffsetOf(qsizetype position) const;
    // The character that holds byte `offset` (a double-byte character or a line break
    // is found from either of its bytes); offsets past the end give the length.
    qsizetype positionOfByte(qsizetype offset) const;
    const PieceTable& pieces() const { return text_; }
    // The byte length of the longest line the loaded text had: a view's first guess
    // at how wide the text is.
    qsizetype longestLoadedLineBytes() const {
        return text_.buffers()->buffer[Buffers::Loaded].longestLineBytes();
    }

    // ---- the file
    // Replaces the whole text by a loaded one; there is nothing left to undo.
    void load(cp932::Decoded decoded);
    void load(TextBuffer loaded);
    // Takes the text of `other` as it stands, with the codes its characters had, as a
    // load does: there is nothing left to undo, and the saved text stays.
    void adoptText(const TextDocument& other);
    // The bytes to save: code page 932, CR LF, each loaded character in the code it had.
    QByteArray encoded() const;
    // The same bytes a piece at a time, each piece from about `chars` characters, in
    // order.
    void encode(const std::function<void(QByteArrayView)>& take, qsizetype chars = 1 << 20) const;

    // ---- editing. `source` is the view the edit is made in (nullptr: none); edits
    // from different sources never share an undo step.
    void replace(qsizetype position, qsizetype removed, QStringView text,
                 const void* source = nullptr, EditKind kind = EditKind::Command);
    // One step of many replacements, made in turn: at each position (in the text as it
    // is at that moment) `length` characters give way to `with`. Characters that stay
    // keep their codes, whatever the span between the first and the last replacement.
    void replaceInTurn(const std::vector<qsizetype>& positions, qsizetype length, QStringView with,
                       const void* source = nullptr);
    // Makes every edit until endStep() one undo step (nested calls count).
    void beginStep();
    void endStep();
    // The next typed character starts a new step (the caret was moved, for example).
    void endTypingRun();

    // ---- the undo history of the document, shared by all its views.
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Undoes (redoes) the most recent step, whichever view made it; the change is
    // reported with `source` as the view that asked.
    void undo(const void* source = nullptr);
    void redo(const void* source = nullptr);
    void clearHistory();

    // ---- the saved text
    void markSaved();
    // Compares the text with the saved one; costs what the edits since touched.
    bool differsFromSaved() const;

    void addObserver(TextObserver* observer);
    void removeObserver(TextObserver* observer);

Q_SIGNALS:
    // After every change, once every observer has taken it.
    void changed(const qel::textmodel::TextChange& change);
    // canUndo() or canRedo() may have changed.
    void historyChanged();

private:
    struct Step {
        PieceTable before, after;
        // The span the step changed: `removed` characters at `position` of `before`
        // became `added` characters of `after`.
        qsizetype position = 0, removed = 0, added = 0;
        const void* source = nullptr;
        EditKind kind = EditKind::Command;
        bool open = true; // a typed run may still grow
    };

    // Makes `next` the text after an edit of the span given, recording it in the
    // history (kind and source decide whether it joins the last step).
    void apply(PieceTable next, qsizetype position, qsizetype removed, qsizetype added,
               const void* source, EditKind kind);
    bool joinsLastStep(qsizetype position, qsizetype removed, qsizetype added, const void* source,
                       EditKind kind) const;
    // Tells the observers and the signal; `before` is the text as it was.
    void report(const PieceTable& before, qsizetype position, qsizetype removed, qsizetype added,
                TextChange::Cause cause, const void* source);
    void noteEdit(qsizetype position, qsizetype removed, qsizetype oldLength);

    PieceTable text_;
    std::vector<Step> undo_, redo_;
    int stepDepth_ = 0;
    bool stepStarted_ = false; // the open step of beginStep() has been pushed
    PieceTable saved_;
    // Characters known to equal the saved text at the start and at the end.
    mutable qsizetype sameHead_ = 0, sameTail_ = 0;
    std::vector<TextObserver*> observers_;
    const ReplacementRun* run_ = nullptr; // the run being reported
};

} // namespace qel::textmodel

#pragma once

#include "platform/WordBoundaries.h"
#include "textmodel/TextDocument.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

class QMenu;
class QMimeData;

namespace qel {

// A view of a TextDocument: plain text without wrapping, its own font, colours (the
// palette's Base and Text), caret, selection and scroll position. Several views may
// show one document; each paints only the lines that are visible, so showing a view
// or scrolling costs nothing in proportion to the document.
//
// Positions are character positions in the document (see TextDocument).
class TextView : public QAbstractScrollArea, private textmodel::TextObserver {
    Q_OBJECT
public:
    explicit TextView(QWidget* parent = nullptr);
    ~TextView() override;

    textmodel::TextDocument* document() const { return document_; }
    // Shows `document`, which must outlive the view or be set away from it first;
    // nullptr gives the view a document of its own again. The caret goes to the start.
    void setDocument(textmodel::TextDocument* document);

    // ---- caret and selection
    qsizetype cursorPosition() const { return caret_; }
    qsizetype anchorPosition() const { return anchor_; }
    bool hasSelection() const { return caret_ != anchor_; }
    qsizetype selectionStart() const { return std::min(caret_, anchor_); }
    qsizetype selectionEnd() const { return std::max(caret_, anchor_); }
    QString selectedText() const;
    // Puts the caret at `position`; the selection reaches back to `anchor`.
    void select(qsizetype anchor, qsizetype position);
    void setCursorPosition(qsizetype position) { select(position, position); }
    void selectAll();
    // Scrolls so that the caret (a position) is in view.
    void ensureCaretVisible();
    void ensureVisible(qsizetype position);

    // ---- editing as the user does it; each is one undo step of the document.
    void insertText(const QString& text); // replaces the selection
    void deleteSelection();
    void cut();
    void copy() const;
    void paste();
    void undo();
    void redo();

    // What an input method is composing in any view goes into the text where it was
    // typed (before something that may open another document, for one).
    static void commitComposition();

    // A view that hides its selection while another widget has the focus.
    void setHideSelectionWhenUnfocused(bool hide);
    bool hidesSelectionWhenUnfocused() const { return hideSelectionWhenUnfocused_; }

    // Where the caret of `position` is drawn, in viewport coordinates.
    QRect cursorRect(qsizetype position) const;
    // The position nearest to `point` (viewport coordinates).
    qsizetype positionAt(const QPoint& point) const;
    // The input method's text not yet committed, shown at the caret.
    const QString& preeditText() const { return preedit_; }
    int firstVisibleLine() const;

    QMenu* createStandardContextMenu();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // The caret or the selection moved (also when an edit elsewhere moved them).
    void selectionChanged();
    // setDocument() gave the view another document.
    void documentSet();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Text that comes in from the clipboard or a drop; the default takes plain text.
    virtual bool canInsertFromMimeData(const QMimeData* source) const;
    virtual void insertFromMimeData(const QMimeData* source);

    // Replaces `removed` characters at `position` by `text` as the user's edit of
    // `kind`, leaving the caret after the new text.
    void edit(qsizetype position, qsizetype removed, const QString& text,
              textmodel::EditKind kind = textmodel::EditKind::Command);
    // The same as a command, the caret keeping its place in the text around the edit
    // as another view's would.
    void editAround(qsizetype position, qsizetype removed, const QString& text);

    // Where a composition went into the text: `length` characters at `position`.
    struct Committed {
        qsizetype position = 0, length = 0;
        // Where a position in the text as it was before is now.
        qsizetype map(qsizetype p) const { return p >= position ? p + length : p; }
    };
    // The text an input method is composing in any view of this document goes into the
    // text where it was typed: done before anything else moves the caret or edits, so
    // that typed text is never moved or lost.
    Committed commitComposing();

private:
    friend class TextViewAccessible;

    static constexpr int kLeftMargin = 4;
    static constexpr int kTopMargin = 2;
    // Lines longer than this are laid out in segments of kSegment characters, only
    // those in view.
    static constexpr qsizetype kLongLine = 4000;
    static constexpr qsizetype kSegment = 1024;
    // How far past its place a segment may begin, so as not to split a word.
    static constexpr qsizetype kWordReach = 64;
    // Word look-ups read at most this much of a line around the caret.
    static constexpr qsizetype kWordWindow = 1000;

    // A line as laid out: one segment, or for a very long line one segment of
    // kSegment characters after the other, each laid out when it is first needed.
    // Segments are placed by their measured widths, the sum of their characters'
    // advances; each is measured once and its place kept with the line, so a long line
    // looks as a short line of the same characters does, and where a character is drawn
    // never depends on what was scrolled past.
    struct Segment {
        QTextLayout layout;
        qsizetype from = 0, to = 0; // in the line
        qreal x = 0;
        qreal width() const;
    };
    struct LineLayout {
        qsizetype length = 0;
        std::vector<std::unique_ptr<Segment>> segments;
        std::vector<qsizetype> bounds; // where each segment begins in the line; -1: not known
        // Where the segments measured so far start; the first at 0.
        std::vector<qreal> starts;
    };

    void textChanged(const textmodel::TextChange& change) override;
    // Assistive technology: the view's accessible interface, made when it is asked for;
    // caret moves, selections and edits told while any listens.
    static void makeAccessible();
    void tellCaret(qsizetype oldAnchor, qsizetype oldCaret);
    void tellChange(const textmodel::TextChange& change);
    void attach(textmodel::TextDocument* document);

    // Metrics and scrolling.
    int caretWidth() const;
    void updateMetrics();
    void updateScrollBars();
    int visibleLines() const; // lines wholly in view
    int lineTop(qsizetype line) const;
    qsizetype lineAtY(int y) const;
    qreal textLeft() const; // x of the text's left edge in the viewport

    // Layout.
    LineLayout& layoutFor(qsizetype line, qsizetype lineStart) const;
    static qsizetype segmentCount(qsizetype length);
    // After an edit within the line at `index`, keeps what lies before it; false when
    // the line is to be laid out anew.
    bool keepLayoutBefore(LineLayout& l, qsizetype index, qsizetype lineStart,
                          qsizetype newLength) const;
    qsizetype segmentBegin(LineLayout& l, std::size_t k, qsizetype lineStart) const;
    Segment& segment(LineLayout& l, std::size_t k, qsizetype lineStart) const;
    // A character's advance in the view's font, measured once.
    qreal advanceOf(char16_t c) const;
    // Where text starting at `x` ends, tabs going to the next stop.
    qreal advanceThrough(QStringView text, qreal x) const;
    qreal measuredStart(LineLayout& l, std::size_t k, qsizetype lineStart) const;
    // Where segment k is drawn: its measured start, after room for a composition.
    qreal segmentStart(LineLayout& l, std::size_t k, qsizetype lineStart) const;
    std::size_t segmentAtX(LineLayout& l, qreal x, qsizetype lineStart) const;
    std::size_t segmentOf(LineLayout& l, qsizetype index, qsizetype lineStart) const;
    std::size_t segmentOfCaret(LineLayout& l, qsizetype index, qsizetype lineStart) const;
    // Index into a segment's layout of line index `index`: the text being composed
    // comes before what follows the caret.
    int layoutIndex(const Segment& s, qsizetype index, bool atCaret) const;
    qreal xOf(qsizetype position) const; // in the text, from its left edge
    qsizetype positionAtX(qsizetype line, qreal x) const;
    void noteWidth(qreal width) const;
    void dropLayouts();

    // Moves.
    enum class Move {
        Left,
        Right,
        WordLeft,
        WordRight,
        Up,
        Down,
        PageUp,
        PageDown,
        LineStart,
        LineEnd,
        DocumentStart,
        DocumentEnd
    };
    qsizetype moved(Move move) const;
    std::pair<qsizetype, WordBoundaries> wordsAround(qsizetype position) const;
    qsizetype wordStartBefore(qsizetype position) const;
    qsizetype wordStartAfter(qsizetype position) const;
    std::pair<qsizetype, qsizetype> wordAt(qsizetype position) const;
    void moveCaret(qsizetype position, bool keepAnchor, bool keepPreferredX = false);
    // What a key does in the view; None: the key is not the view's.
    struct KeyAction {
        enum Kind {
            None,
            Nothing, // taken, and nothing happens
            MoveCaret,
            RunCommand, // copy, cut, paste, undo, redo, select all
            DeleteWordBefore,
            DeleteWordAfter,
            DeleteBefore,
            DeleteAfter,
            NewLine,
            InsertTab,
            Type
        } kind = None;
        Move move = Move::Left;
        bool select = false;
        void (*command)(TextView&) = nullptr;
    };
    KeyAction keyAction(const QKeyEvent* event) const;
    void perform(const KeyAction& action, const QKeyEvent* event);
    bool isTypedText(const QKeyEvent* event) const;

    void setCaret(qsizetype anchor, qsizetype caret);
    // A selection the user made is offered to other programs as the primary selection,
    // where the platform has one.
    void offerSelection() const;
    Committed commitOwnComposition();
    void restartBlinking();
    void startDrag();
    qsizetype dropPosition(const QDropEvent* event) const;
    bool selectionShown() const;
    void setPreedit(const QString& text, const QList<QTextLayout::FormatRange>& formats, int cursor,
                    bool cursorVisible);

    textmodel::TextDocument* document_ = nullptr;
    std::unique_ptr<textmodel::TextDocument> ownDocument_;
    qsizetype caret_ = 0, anchor_ = 0;
    qreal preferredX_ = -1; // kept through Up, Down and page moves
    qsizetype topLine_ = 0;

    // Metrics of the font.
    int lineHeight_ = 1;
    bool sampleMeasured_ = false; // lineHeight_ knows the Japanese fallback face
    qreal halfWidth_ = 1;         // a single-byte character's advance
    qreal tabWidth_ = 8;
    mutable qreal widest_ = 0; // the widest line known, for the horizontal scroll bar

    // The font text is laid out in: the view's, without kerning, so that a line is as
    // wide as its characters' advances make it.
    QFont layoutFont_;
    mutable std::vector<float> advances_;        // by UTF-16 code, -1 until measured
    mutable QHash<QString, qreal> wordAdvances_; // runs of ASCII
    mutable std::unordered_map<qsizetype, std::unique_ptr<LineLayout>> layouts_;

    // The view showing an input method's composition, if any: there is one focus.
    static inline TextView* composingView_ = nullptr;
    QString preedit_;
    QList<QTextLayout::FormatRange> preeditFormats_;
    int preeditCursor_ = 0;
    bool preeditCursorVisible_ = true;

    bool caretFollowsEdit_ = true;
    bool caretShown_ = true;
    QBasicTimer blink_;
    bool hideSelectionWhenUnfocused_ = false;

    // Mouse.
    enum class Press { None, Select, SelectWords, SelectLines, MaybeDrag };
    Press press_ = Press::None;
    QPoint pressPoint_;
    qsizetype wordAnchorFrom_ = 0, wordAnchorTo_ = 0; // the word or line double-clicked
    static constexpr int kAutoScrollTick = 16;        // ms
    // Lines a second while a drag is `distance` pixels beyond the text.
    static qreal autoScrollSpeed(int distance);
    QBasicTimer autoScroll_;
    QElapsedTimer autoScrollClock_;
    qreal autoScrollLines_ = 0; // the part of a line not yet scrolled
    QPoint lastMouse_;
    qint64 lastDoubleClick_ = 0;
    qsizetype dropCaret_ = -1; // where a drag would drop, while one is over the view
};

} // namespace qel

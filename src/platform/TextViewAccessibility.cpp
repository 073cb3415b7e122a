// The text view for assistive technology: an editable text whose text, caret and
// selection are read from the document at the positions asked for, so that a big
// document costs nothing until a screen reader asks; and the events that tell of caret
// moves, selections and edits, sent only while one listens.
#include "TextView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace qel {

namespace {

int offset(qsizetype position) {
    return int(std::min<qsizetype>(position, INT_MAX));
}

} // namespace

class TextViewAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return doc()->text();
        return QAccessibleWidget::text(t);
    }

    // ---- selection and caret
    void selection(int index, int* start, int* end) const override {
        const bool one = index == 0 && view()->hasSelection();
        *start = one ? offset(view()->selectionStart()) : 0;
        *end = one ? offset(view()->selectionEnd()) : 0;
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0)
            view()->setCursorPosition(view()->cursorPosition());
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0)
            view()->select(start, end);
    }
    int cursorPosition() const override { return offset(view()->cursorPosition()); }
    void setCursorPosition(int position) override {
        view()->setCursorPosition(position);
        view()->ensureCaretVisible();
    }

    // ---- text
    QString text(int start, int end) const override {
        const qsizetype n = doc()->length();
        return doc()->text(std::clamp<qsizetype>(start, 0, n), std::clamp<qsizetype>(end, 0, n));
    }
    int characterCount() const override { return offset(doc()->length()); }

    QString textAtOffset(int at, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        const auto [from, to] = segmentAt(at, type);
        *start = offset(from);
        *end = offset(to);
        return doc()->text(from, to);
    }
    QString textBeforeOffset(int at, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        const qsizetype from = segmentAt(at, type).first;
        if (from == 0) {
            *start = *end = 0;
            return QString();
        }
        return textAtOffset(offset(from - 1), type, start, end);
    }
    QString textAfterOffset(int at, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        const qsizetype to = segmentAt(at, type).second;
        if (to >= doc()->length()) {
            *start = *end = characterCount();
            return QString();
        }
        return textAtOffset(offset(std::max<qsizetype>(to, at + 1)), type, start, end);
    }

    // ---- geometry, in screen coordinates
    QRect characterRect(int at) const override {
        const qsizetype n = doc()->length();
        const qsizetype p = std::clamp<qsizetype>(at, 0, n);
        QRect r = view()->cursorRect(p);
        const qsizetype line = doc()->lineOf(p);
        if (p < doc()->lineEnd(line))
            r.setRight(view()->cursorRect(p + 1).left() - 1);
        return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint at = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(at))
            return -1;
        return offset(view()->positionAt(at));
    }
    void scrollToSubstring(int start, int end) override {
        view()->ensureVisible(std::clamp<qsizetype>(end, 0, doc()->length()));
        view()->ensureVisible(std::clamp<qsizetype>(start, 0, doc()->length()));
    }
    QString attributes(int, int* start, int* end) const override {
        *start = 0; // plain text: one run without attributes
        *end = characterCount();
        return QString();
    }

    // ---- editing, as commands of the view
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int at, const QString& text) override { replaceText(at, at, text); }
    void replaceText(int start, int end, const QString& text) override {
        const TextView::Committed committed = view()->commitComposing();
        const qsizetype n = doc()->length();
        const qsizetype from = std::clamp<qsizetype>(committed.map(start), 0, n);
        const qsizetype to = std::clamp<qsizetype>(committed.map(end), from, n);
        view()->edit(from, to - from, text);
    }

private:
    TextView* view() const { return static_cast<TextView*>(widget()); }
    textmodel::TextDocument* doc() const { return view()->document(); }

    // The stretch of text of `type` that holds the character at `at`.
    std::pair<qsizetype, qsizetype> segmentAt(int at, QAccessible::TextBoundaryType type) const {
        const qsizetype n = doc()->length();
        const qsizetype p = std::clamp<qsizetype>(at, 0, n);
        const qsizetype line = doc()->lineOf(p);
        const qsizetype lineStart = doc()->lineStart(line), lineEnd = doc()->lineEnd(line);
        switch (type) {
        case QAccessible::CharBoundary:
            return {p, std::min(n, p + 1)};
        case QAccessible::WordBoundary:
            return view()->wordAt(p);
        case QAccessible::SentenceBoundary: {
            // Within the line, near the position.
            const qsizetype from = std::max(lineStart, p - TextView::kWordWindow);
            const QString text = doc()->text(from, std::min(lineEnd, p + TextView::kWordWindow));
            QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, text);
            finder.setPosition(p - from);
            const qsizetype begin = finder.isAtBoundary() ? p - from : finder.toPreviousBoundary();
            finder.setPosition(p - from);
            const qsizetype finish = finder.toNextBoundary();
            return {from + std::max<qsizetype>(begin, 0),
                    finish < 0 ? from + text.size() : from + finish};
        }
        case QAccessible::LineBoundary:
        case QAccessible::ParagraphBoundary:
            // A line with its line break: lines are not wrapped.
            return {lineStart, std::min(n, lineEnd + 1)};
        case QAccessible::NoBoundary:
            break;
        }
        return {0, n};
    }
};

namespace {

QAccessibleInterface* accessibleTextView(const QString& className, QObject* object) {
    if (className == u"qel::TextView" && object && object->isWidgetType())
        return new TextViewAccessible(static_cast<TextView*>(object));
    return nullptr;
}

} // namespace

void TextView::makeAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleTextView);
        return true;
    }();
    Q_UNUSED(installed);
}

void TextView::tellCaret(qsizetype oldAnchor, qsizetype oldCaret) {
    if (!QAccessible::isActive())
        return;
    const bool hadSelection = oldAnchor != oldCaret;
    if ((hadSelection || hasSelection()) && (std::min(oldAnchor, oldCaret) != selectionStart() ||
                                             std::max(oldAnchor, oldCaret) != selectionEnd())) {
        QAccessibleTextSelectionEvent event(this, offset(selectionStart()), offset(selectionEnd()));
        event.setCursorPosition(offset(caret_));
        QAccessible::updateAccessibility(&event);
    }
    if (caret_ != oldCaret) {
        QAccessibleTextCursorEvent event(this, offset(caret_));
        QAccessible::updateAccessibility(&event);
    }
}

void TextView::tellChange(const textmodel::TextChange& change) {
    if (!QAccessible::isActive())
        return;
    const int at = offset(change.position);
    const QString removed =
        change.before ? change.before->text(change.position, change.position + change.removed)
                      : QString();
    const QString added = document_->text(change.position, change.position + change.added);
    if (removed.isEmpty() && added.isEmpty())
        return;
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(this, at, added);
        QAccessible::updateAccessibility(&event);
    } else if (added.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, at, removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, at, removed, added);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace qel

#include "MirrorGroup.h"

#include "platform/ByteEditor.h"

#include <QTextCursor>
#include <QTextDocument>

namespace qel {

namespace {

qsizetype textLength(const QTextDocument* doc) {
    return doc->characterCount() - 1;
}

QString textBetween(QTextDocument* doc, qsizetype from, qsizetype to) {
    if (to <= from)
        return QString();
    QTextCursor c(doc);
    c.setPosition(static_cast<int>(from));
    c.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
    QString text = c.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

void MirrorGroup::add(ByteEditor* editor) {
    editors_.push_back(editor);
    if (editors_.size() > 1) {
        behind_.push_back(editor);
        if (editor->isVisible())
            bringUpToDate(editor);
    }
    editor->setMirrorGroup(this);
    connect(editor->document(), &QTextDocument::contentsChange, this,
            [this, editor](int position, int removed, int added) {
                onChange(editor, position, removed, added);
            });
    connect(editor, &QObject::destroyed, this, [this, editor] {
        std::erase(editors_, editor);
        std::erase(behind_, editor);
    });
}

bool MirrorGroup::isBehind(const ByteEditor* editor) const {
    return std::find(behind_.begin(), behind_.end(), editor) != behind_.end();
}

void MirrorGroup::bringUpToDate(ByteEditor* editor) {
    if (mirroring_ || !isBehind(editor))
        return;
    std::erase(behind_, editor);
    // The first editor (the main one) is never behind.
    const QString text = editors_.front()->toPlainText();
    if (editor->toPlainText() != text) {
        mirroring_ = true;
        editor->setPlainText(text);
        mirroring_ = false;
    }
}

void MirrorGroup::editEach(ByteEditor* source, const std::function<void(ByteEditor&)>& edit) {
    mirroring_ = true;
    // The source first: its change handling sees the new text before the others do,
    // as with an edit carried over.
    edit(*source);
    for (ByteEditor* e : editors_)
        if (e != source && !isBehind(e))
            edit(*e);
    mirroring_ = false;
    Q_EMIT edited(source);
}

void MirrorGroup::onChange(ByteEditor* source, int position, int removed, int added) {
    if (mirroring_ || editors_.size() < 2)
        return;
    QTextDocument* doc = source->document();
    const qsizetype length = textLength(doc);
    const qsizetype end = std::min<qsizetype>(position + added, length);
    // A text replaced as a whole (a load, which also empties the undo history) is
    // copied as a whole; any other edit is made as the same edit.
    const bool wholeText = position == 0 && end == length && !doc->isUndoAvailable();
    const QString inserted = textBetween(doc, position, end);

    mirroring_ = true;
    for (ByteEditor* target : editors_) {
        if (target == source || isBehind(target))
            continue;
        if (wholeText) {
            if (target->isVisible())
                target->setPlainText(inserted);
            else
                behind_.push_back(target); // copied when it is next needed
            continue;
        }
        QTextDocument* targetDoc = target->document();
        const qsizetype targetLength = textLength(targetDoc);
        const qsizetype from = std::min<qsizetype>(position, targetLength);
        const qsizetype to = std::min<qsizetype>(position + removed, targetLength);
        QTextCursor c(targetDoc);
        c.setPosition(static_cast<int>(from));
        c.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
        c.insertText(inserted);
    }
    mirroring_ = false;
    Q_EMIT edited(source);
}

} // namespace qel

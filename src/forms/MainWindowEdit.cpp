// The main window's editing commands: clipboard, undo, date and time insertion.
#include "MainWindow.h"

#include "SubWindow.h"
#include "datetime/DateTimeRenderer.h"
#include "platform/ByteEditor.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace qel {

ByteEditor* MainWindow::focusedEditor() const {
    if (auto* e = qobject_cast<ByteEditor*>(QApplication::focusWidget()))
        return e;
    // Opening a menu takes the focus from the editor; the editor still counts.
    if (lastEditor_)
        return lastEditor_;
    return editor_;
}

void MainWindow::updateEditCommands() {
    ByteEditor* focused = qobject_cast<ByteEditor*>(QApplication::focusWidget());
    if (!focused)
        focused = lastEditor_;
    const bool selection = focused && focused->hasSelection();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const auto enable = [this](const char16_t* name, bool on) {
        commands_.action(QString::fromUtf16(name))->setEnabled(on);
    };
    enable(u"EditCut1", selection);
    enable(u"EditCopy1", selection);
    enable(u"EditDelete1", selection);
    enable(u"EditPaste1", focused && clip && clip->hasText());
    enable(u"EditSelectAll1", focused && !focused->document()->isEmpty());
    enable(u"EditUndo1", focused && focused->document()->canUndo());
}

// The edit commands follow the editor that has the focus: its selection, its undo
// history, and the clipboard.
void MainWindow::watchFocusedEditor() {
    for (const QMetaObject::Connection& c : focusedEditorWatch_)
        disconnect(c);
    focusedEditorWatch_.clear();
    if (auto* e = qobject_cast<ByteEditor*>(QApplication::focusWidget())) {
        lastEditor_ = e;
    }
    if (ByteEditor* e = lastEditor_) {
        const auto update = [this] { updateEditCommands(); };
        focusedEditorWatch_.push_back(connect(e, &TextView::selectionChanged, this, update));
        focusedEditorWatch_.push_back(
            connect(e->document(), &textmodel::TextDocument::historyChanged, this, update));
    }
    updateEditCommands();
}

// Cut, copy and paste act on the main editor.
void MainWindow::cut() {
    editor_->cut();
}

void MainWindow::copy() {
    editor_->copy();
}

void MainWindow::paste() {
    // Anything but text on the clipboard pastes as nothing: the selection goes.
    const QMimeData* data = QApplication::clipboard()->mimeData();
    editor_->replaceSelection(data && data->hasText() ? data->text() : QString());
}

// Delete, select all and undo act on the editor that has the focus.
void MainWindow::deleteSelection() {
    ByteEditor* e = focusedEditor();
    if (e->hasSelection())
        e->replaceSelection(QString());
}

void MainWindow::selectAll() {
    focusedEditor()->selectAll();
}

void MainWindow::undo() {
    focusedEditor()->undo();
}

void MainWindow::insertNow(const QString& pattern, bool asLine) {
    const QString text = renderDateTime(pattern, now());
    if (asLine)
        editor_->insertLine(editor_->caretLine(), text);
    else
        editor_->replaceSelection(text);
}

void MainWindow::insertDateLine() {
    insertNow(dateTimeFormat_.dateFormat, true);
}
void MainWindow::insertDate() {
    insertNow(dateTimeFormat_.dateFormat, false);
}
void MainWindow::insertTimeLine() {
    insertNow(dateTimeFormat_.timeFormat, true);
}
void MainWindow::insertTime() {
    insertNow(dateTimeFormat_.timeFormat, false);
}
void MainWindow::insertDateTimeLine() {
    insertNow(dateTimeFormat_.dateTimeFormat, true);
}
void MainWindow::insertDateTime() {
    insertNow(dateTimeFormat_.dateTimeFormat, false);
}

} // namespace qel

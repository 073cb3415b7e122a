// The main window's find and replace commands and their two modeless dialogs.
#include "MainWindow.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/FindReplaceDialogs.h"
#include "platform/Guard.h"

namespace qel {

FindDialog& MainWindow::findDialog() {
    if (!findDialog_) {
        findDialog_ = new FindDialog(this);
        connect(findDialog_, &FindDialog::findNext, this,
                [this] { guarded([this] { findNext(); }); });
    }
    return *findDialog_;
}

ReplaceDialog& MainWindow::replaceDialog() {
    if (!replaceDialog_) {
        replaceDialog_ = new ReplaceDialog(this);
        connect(replaceDialog_, &ReplaceDialog::findNext, this,
                [this] { guarded([this] { findNextToReplace(); }); });
        const auto replace = [this] { guarded([this] { replaceOrReplaceAll(); }); };
        connect(replaceDialog_, &ReplaceDialog::replace, this, replace);
        connect(replaceDialog_, &ReplaceDialog::replaceAll, this, replace);
    }
    return *replaceDialog_;
}

void MainWindow::showFindDialog() {
    findDialog().showDialog();
}

void MainWindow::showReplaceDialog() {
    replaceDialog().showDialog();
}

void MainWindow::findNext() {
    if (findDialog().direction() == search::Direction::Down)
        findDown();
    else
        findUp();
}

void MainWindow::findDown() {
    EditorSearch(*editor_).findDown(findDialog().request());
    rememberSelection();
}

void MainWindow::findUp() {
    EditorSearch(*editor_).findUp(findDialog().request());
    rememberSelection();
}

void MainWindow::findNextToReplace() {
    EditorSearch(*editor_).findNextToReplace(replaceDialog().request());
    rememberSelection();
}

void MainWindow::replaceOrReplaceAll() {
    EditorSearch(*editor_).replaceOrReplaceAll(replaceDialog().request());
    rememberSelection();
}

void MainWindow::replaceSelectedMatch() {
    EditorSearch(*editor_).replaceSelectedMatch(replaceDialog().request());
    rememberSelection();
}

void MainWindow::replaceAllMatches() {
    EditorSearch(*editor_).replaceAllMatches(replaceDialog().request());
    rememberSelection();
}

} // namespace qel

// The main window's find and replace commands and their two modeless dialogs.
#include "MainWindow.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/FindReplaceDialogs.h"
#include "platform/Guard.h"

namespace qel {

void MainWindow::createSearchDialogs() {
    findDialog_ = new FindDialog(this);
    replaceDialog_ = new ReplaceDialog(this);
    connect(findDialog_, &FindDialog::findNext, this, [this] { guarded([this] { findNext(); }); });
    connect(replaceDialog_, &ReplaceDialog::findNext, this,
            [this] { guarded([this] { findNextToReplace(); }); });
    const auto replace = [this] { guarded([this] { replaceOrReplaceAll(); }); };
    connect(replaceDialog_, &ReplaceDialog::replace, this, replace);
    connect(replaceDialog_, &ReplaceDialog::replaceAll, this, replace);
}

void MainWindow::showFindDialog() {
    findDialog_->showDialog();
}

void MainWindow::showReplaceDialog() {
    replaceDialog_->showDialog();
}

void MainWindow::findNext() {
    if (findDialog_->direction() == search::Direction::Down)
        findDown();
    else
        findUp();
}

void MainWindow::findDown() {
    EditorSearch(*editor_).findDown(findDialog_->request());
    rememberSelection();
}

void MainWindow::findUp() {
    EditorSearch(*editor_).findUp(findDialog_->request());
    rememberSelection();
}

void MainWindow::findNextToReplace() {
    EditorSearch(*editor_).findNextToReplace(replaceDialog_->request());
    rememberSelection();
}

void MainWindow::replaceOrReplaceAll() {
    EditorSearch(*editor_).replaceOrReplaceAll(replaceDialog_->request());
    rememberSelection();
}

void MainWindow::replaceSelectedMatch() {
    EditorSearch(*editor_).replaceSelectedMatch(replaceDialog_->request());
    rememberSelection();
}

void MainWindow::replaceAllMatches() {
    EditorSearch(*editor_).replaceAllMatches(replaceDialog_->request());
    rememberSelection();
}

} // namespace qel

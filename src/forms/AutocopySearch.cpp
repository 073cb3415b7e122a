// The main window's find and replace commands and their two modeless dialogs.
#include "Autocopy.h"

#include "platform/ByteEditor.h"
#include "platform/EditorSearch.h"
#include "platform/FindReplaceDialogs.h"
#include "platform/Guard.h"

namespace qel {

void TMainForm::createSearchDialogs() {
    findDialog_ = new FindDialog(this);
    replaceDialog_ = new ReplaceDialog(this);
    connect(findDialog_, &FindDialog::findNext, this,
            [this] { guarded([this] { FindDialog1Find(); }); });
    connect(replaceDialog_, &ReplaceDialog::findNext, this,
            [this] { guarded([this] { ReplaceDialog1Find(); }); });
    const auto replace = [this] { guarded([this] { ReplaceDialog1Replace(); }); };
    connect(replaceDialog_, &ReplaceDialog::replace, this, replace);
    connect(replaceDialog_, &ReplaceDialog::replaceAll, this, replace);
}

void TMainForm::FindExecute() {
    findDialog_->showDialog();
}

void TMainForm::ReplaceExecute() {
    replaceDialog_->showDialog();
}

void TMainForm::FindDialog1Find() {
    if (findDialog_->direction() == search::Direction::Down)
        FindToDown();
    else
        FindToUp();
}

void TMainForm::FindToDown() {
    EditorSearch(*editor_).findToDown(findDialog_->request());
    rememberSelection();
}

void TMainForm::FindToUp() {
    EditorSearch(*editor_).findToUp(findDialog_->request());
    rememberSelection();
}

void TMainForm::ReplaceDialog1Find() {
    FindToReplace();
}

void TMainForm::FindToReplace() {
    EditorSearch(*editor_).findToReplace(replaceDialog_->request());
    rememberSelection();
}

void TMainForm::ReplaceDialog1Replace() {
    EditorSearch(*editor_).replaceDialogReplace(replaceDialog_->request());
    rememberSelection();
}

void TMainForm::DoReplace() {
    EditorSearch(*editor_).doReplace(replaceDialog_->request());
    rememberSelection();
}

void TMainForm::DoReplaceAll() {
    EditorSearch(*editor_).doReplaceAll(replaceDialog_->request());
    rememberSelection();
}

} // namespace qel

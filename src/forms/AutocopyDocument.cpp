// The main window's document: new, open, save, the save question, the caption and
// the modified check.
#include "Autocopy.h"

#include "Subw.h"

#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/StatusPanels.h"
#include "settings/SettingValues.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace qel {

namespace {

// A remembered folder is offered only while it exists.
QString existingFolderOrEmpty(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace

void TMainForm::SaveCheck() {
    if (modifiedFlag_ != 1 || !editor_->differsFromSaved())
        return;
    switch (dialogs().askYesNoCancel(documentPath_ + u"を保存しますか？")) {
    case Answer::Yes:
        // Saving was asked for: when the save dialog is cancelled the operation that
        // asked stops, instead of dropping the unsaved text.
        saveCheckCancel_ = saveAs() ? 0 : 1;
        break;
    case Answer::No:
        saveCheckCancel_ = 0;
        break;
    case Answer::Cancel:
        saveCheckCancel_ = 1;
        break;
    }
}

bool TMainForm::takeSaveCheckCancel() {
    const bool cancelled = saveCheckCancel_ == 1;
    saveCheckCancel_ = 0;
    return cancelled;
}

void TMainForm::FileNewExecute() {
    SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return;
    }
    loadingFlag_ = 1;
    editor_->setText(QString());
    documentPath_ = QString::fromUtf16(kUntitledDocument);
    Syokika();
}

void TMainForm::FileOpenAExecute() {
    SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("ファイルを開く");
    request.filters = documentFileFilters(false);
    request.selectedFilter = kDocumentFilterSelected;
    request.defaultExtension = QStringLiteral("txt");
    request.startFolder = existingFolderOrEmpty(initialOpenFolder_);
    request.proposedName = lastOpenedName_;
    request.fileMustExist = true;
    request.pathMustExist = true;
    request.hideReadOnly = true;
    const std::optional<QString> chosen = dialogs().openFile(request);
    if (!chosen)
        return;
    lastOpenedName_ = extractFileName(*chosen);
    LoadText(*chosen);
}

void TMainForm::LoadText(const QString& path) {
    loadDocument(path);
}

void TMainForm::loadDocument(const QString& path) {
    const int loadingBefore = loadingFlag_;
    loadingFlag_ = 1;
    try {
        editor_->loadFromFile(path);
    } catch (...) {
        // Nothing was loaded: the flags stay as they were.
        loadingFlag_ = loadingBefore;
        throw;
    }
    documentPath_ = path;
    Syokika();
}

void TMainForm::dropOpen(const QStringList& paths) {
    activateWindow();
    raise();
    if (paths.isEmpty())
        return;
    // Unsaved text is not thrown away without asking.
    SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return;
    }
    for (const QString& path : paths)
        loadDocument(path);
}

void TMainForm::Syokika() {
    // A new or loaded document starts with nothing to undo, in every editor showing it.
    editor_->document()->clearHistory();
    editor_->setSelection(0, 0);
    caretPosition_ = 0;
    selectionLength_ = 0;
    afterSave();
}

void TMainForm::FileSaveExecute() {
    if (documentPath_ == QStringView(kUntitledDocument)) {
        FileSaveAsExecute();
        return;
    }
    editor_->saveToFile(documentPath_);
    afterSave();
}

void TMainForm::FileSaveAsExecute() {
    saveAs();
}

bool TMainForm::saveAs() {
    FileRequest request;
    request.title = QStringLiteral("名前を付けて保存");
    request.filters = documentFileFilters(true);
    request.selectedFilter = kDocumentFilterSelected;
    request.defaultExtension = QStringLiteral("txt");
    request.startFolder = existingFolderOrEmpty(initialSaveFolder_);
    request.proposedName = extractFileName(documentPath_);
    request.overwritePrompt = true;
    request.hideReadOnly = true;
    const std::optional<QString> chosen = dialogs().saveFile(request);
    if (!chosen)
        return false;
    editor_->saveToFile(*chosen);
    documentPath_ = *chosen;
    afterSave();
    return true;
}

// The text as it stands is the saved text: no modified mark, no "modify".
void TMainForm::afterSave() {
    modifiedFlag_ = 0;
    ChangeCaption();
    statusBar_->setPanelText(2, QString());
    editor_->markSaved();
    GetCaretPosition();
}

void TMainForm::ChangeCaption() {
    setWindowTitle(documentCaption(windowName_, captionSeparator_, documentPath_, false));
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->ChangeCaption();
}

void TMainForm::ChangeCaptionModified() {
    if (loadingFlag_ == 1) {
        loadingFlag_ = 0;
        return;
    }
    if (modifiedFlag_ == 0 && editor_->differsFromSaved()) {
        ChangeCaption();
        setWindowTitle(windowTitle() + QStringView(kModifiedMark));
        modifiedFlag_ = 1;
    } else if (modifiedFlag_ == 1 && !editor_->differsFromSaved()) {
        ChangeCaption();
        modifiedFlag_ = 0;
    }
    loadingFlag_ = 0;
}

} // namespace qel

// The main window's document: new, open, save, the save question, the caption and
// the modified check.
#include "MainWindow.h"

#include "SubWindow.h"

#include "document/DocumentRules.h"
#include "document/ForeignDocument.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"
#include "platform/StatusPanels.h"
#include "recovery/AbandonedWork.h"
#include "recovery/EditJournal.h"
#include "settings/FileContent.h"
#include "settings/SettingValues.h"
#include "textmodel/TextDocument.h"

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

void MainWindow::askToSave() {
    if (!modified_ || !editor_->differsFromSaved())
        return;
    switch (dialogs().askYesNoCancel(documentPath_ + u"を保存しますか？")) {
    case Answer::Yes:
        // Saving was asked for: when the save dialog is cancelled the operation that
        // asked stops, instead of dropping the unsaved text.
        saveCancelled_ = !askNameAndSave();
        break;
    case Answer::No:
        saveCancelled_ = false;
        break;
    case Answer::Cancel:
        saveCancelled_ = true;
        break;
    }
}

bool MainWindow::takeSaveCancelled() {
    const bool cancelled = saveCancelled_;
    saveCancelled_ = false;
    return cancelled;
}

void MainWindow::newFile() {
    askToSave();
    if (takeSaveCancelled())
        return;
    loading_ = true;
    editor_->setText(QString());
    documentPath_ = QString::fromUtf16(kUntitledDocument);
    documentIsFile_ = false;
    resetDocument();
}

void MainWindow::openFile() {
    askToSave();
    if (takeSaveCancelled())
        return;
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
    loadDocument(*chosen);
}

void MainWindow::loadDocument(const QString& path) {
    // A file in another encoding is opened as the user answers: converted, as it is
    // (as any file), or not at all.
    std::optional<ForeignDocument> foreign = examineDocumentFile(path);
    if (foreign) {
        const Choice question{foreignDocumentQuestion(path, *foreign), foreignDocumentButtons(),
                              int(ForeignAnswer::Convert), int(ForeignAnswer::Cancel)};
        const auto answer = ForeignAnswer(dialogs().choose(question));
        if (answer == ForeignAnswer::Cancel)
            return;
        if (answer == ForeignAnswer::AsItIs)
            foreign.reset();
    }
    loadFile(path);
    if (foreign)
        showConverted(foreign->converted.text);
}

void MainWindow::loadFile(const QString& path) {
    const bool loadingBefore = loading_;
    loading_ = true;
    try {
        editor_->loadFromFile(path);
    } catch (...) {
        // Nothing was loaded: the flags stay as they were.
        loading_ = loadingBefore;
        throw;
    }
    documentPath_ = path;
    documentIsFile_ = true;
    resetDocument();
}

// The file as read stays the saved text; the converted text replaces it as an edit,
// so the document counts as modified and the save question protects the original
// until the user saves. There is nothing to undo, and the caret is at the top.
void MainWindow::showConverted(const QString& text) {
    editor_->setText(text);
    editor_->document()->clearHistory();
    editor_->setSelection(0, 0);
    caretPosition_ = 0;
    updateCaretPanel();
}

void MainWindow::openDropped(const QStringList& paths) {
    activateWindow();
    raise();
    if (paths.isEmpty())
        return;
    // Unsaved text is not thrown away without asking.
    askToSave();
    if (takeSaveCancelled())
        return;
    for (const QString& path : paths)
        loadDocument(path);
}

void MainWindow::resetDocument() {
    // A new or loaded document starts with nothing to undo, in every editor showing it.
    editor_->document()->clearHistory();
    editor_->setSelection(0, 0);
    caretPosition_ = 0;
    selectionLength_ = 0;
    afterSave();
}

void MainWindow::save() {
    if (documentPath_ == QStringView(kUntitledDocument)) {
        saveAs();
        return;
    }
    writeDocument(documentPath_);
    afterSave();
}

void MainWindow::saveAs() {
    askNameAndSave();
}

bool MainWindow::askNameAndSave() {
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
    writeDocument(*chosen);
    documentPath_ = *chosen;
    documentIsFile_ = true;
    afterSave();
    return true;
}

void MainWindow::writeDocument(const QString& path) {
    // A piece at a time: a big document is not copied whole into its bytes.
    writeWholeFile(
        path, [this](const PieceWriter& write) { editor_->document()->encode(write); },
        &journal_->inPlaceCopy());
}

bool MainWindow::takeRecovered(recovery::RecoveredText recovered) {
    askToSave();
    if (takeSaveCancelled())
        return false;
    if (recovered.editsOfFile) {
        // The bytes the edits start from, as they are: a conversion the user chose is
        // one of the edits.
        loadFile(recovered.documentPath);
    } else {
        // No file holds any of it: it stays modified until it is saved.
        loading_ = true;
        editor_->setText(QString());
        documentPath_ = recovered.documentPath.isEmpty() ? QString::fromUtf16(kUntitledDocument)
                                                         : recovered.documentPath;
        documentIsFile_ = false;
        resetDocument();
        recovered.span = recovery::ChangedSpan(0);
    }
    editor_->document()->adoptText(*recovered.text);
    journal_->recordChangedSpan(recovered.span.head(), recovered.span.tail());
    return true;
}

// The text as it stands is the saved text: no modified mark, no "modify", and nothing
// to recover.
void MainWindow::afterSave() {
    modified_ = false;
    updateCaption();
    statusBar_->setPanelText(2, QString());
    editor_->markSaved();
    journal_->startFrom(documentPath_ == QStringView(kUntitledDocument) && !documentIsFile_
                            ? QString()
                            : documentPath_,
                        documentIsFile_);
    updateCaretPanel();
}

void MainWindow::updateCaption() {
    setWindowTitle(documentCaption(windowName_, captionSeparator_, documentPath_, false));
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->updateCaption();
}

void MainWindow::updateModifiedMark() {
    if (loading_) {
        loading_ = false;
        return;
    }
    if (!modified_ && editor_->differsFromSaved()) {
        updateCaption();
        setWindowTitle(windowTitle() + QStringView(kModifiedMark));
        modified_ = true;
    } else if (modified_ && !editor_->differsFromSaved()) {
        updateCaption();
        modified_ = false;
    }
    loading_ = false;
}

} // namespace qel

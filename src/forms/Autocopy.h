#pragma once

#include "datetime/DateTimeFormatSettings.h"
#include "platform/Commands.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QPrinter;
class QToolBar;

namespace qel {

class ByteEditor;
class FindDialog;
class ReplaceDialog;
class StatusPanels;
class SubWindow;
class TListWindow;

// The main window: one document in the editor RichEdit1, its file commands, caption,
// status bar and information line, and its own settings.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole creation (settings, new document, the file named by the first
    // argument); `arguments` exclude the program name.
    explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    // User commands.
    void FileNewExecute();
    void FileOpenAExecute();
    void FileSaveExecute();
    void FileSaveAsExecute();
    void FileExitExecute();
    void PrintExecute();
    void PrintCExecute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void EditDelete1Execute();
    void EditSelectAll1Execute();
    void EditUndo1Execute();
    void InsertDateLinesExecute();
    void InsertDateTextExecute();
    void InsertTimeNowLinesExecute();
    void InsertTimeNowTextExecute();
    void InsertDateTimeNowLinesExecute();
    void InsertDateTimeNowTextExecute();
    void FindExecute();
    void ReplaceExecute();
    void VisibleToolBarExecute();
    void VisibleStatusBarExecute();
    void VisibleStaticTextExecute();
    void OpenFileListExecute();
    void OpenSubWindowExecute();
    void OpenSubWindow2Execute();
    void OpenSubWindow3Execute();
    void SOTSubWindowExecute();
    void SOTSubWindow2Execute();
    void SOTSubWindow3Execute();
    void ActiveMainWindowExecute();
    void OpenDateTimeFormatExecute();
    void FontChangeExecute();
    void FontColorChangeExecute();
    void ColorChangeExecute();
    void OpenPropertyExecute();

    // Internal steps.
    void FindDialog1Find();
    void FindToDown();
    void FindToUp();
    void ReplaceDialog1Find();
    void FindToReplace();
    void ReplaceDialog1Replace();
    void DoReplace();
    void DoReplaceAll();
    void SaveCheck();
    // Reads the save-check cancel flag and clears it, for the operation that asked.
    bool takeSaveCheckCancel();
    void LoadText(const QString& path);
    void Syokika();
    void ChangeCaption();
    void ChangeCaptionModified();
    void RichEdit1Change();
    void GetCaretPosition();
    void StaticTextChange();
    void EditHintChange();
    void ChangeFormatSBText();
    void PrinterCheck();
    void LoadIni();
    void OpenQelW();
    void SaveIni();
    void SaveQelW();

    // Window events.
    void FormActivate();
    void FormDeactivate();
    // Files dropped on the window, in the order given; the last one stays open.
    void dropOpen(const QStringList& paths);

    // The other windows, once they exist: sub-window 1, 2 or 3, and the file list.
    void setSubWindow(int number, SubWindow* window);
    SubWindow* subWindow(int number) const;
    void setFileListWindow(TListWindow* window) { fileListWindow_ = window; }
    TListWindow* fileListWindow() const { return fileListWindow_; }

    // State, for the other windows.
    // The main editor; it owns the document, which the sub-windows' editors show too.
    ByteEditor* editor() const { return editor_; }
    bool isStaticTextShown() const;
    CommandTable& commands() { return commands_; }
    const QString& documentPath() const { return documentPath_; }
    bool isModified() const { return modifiedFlag_ == 1; }
    const QString& windowName() const { return windowName_; }
    const QString& programFolder() const { return programFolder_; }
    // The window settings file OpenQelW reads and SaveQelW writes.
    const QString& settingsFilePath() const { return qelwPath_; }
    void setSettingsFilePath(const QString& path) { qelwPath_ = path; }
    const DateTimeFormatSettings& dateTimeFormat() const { return dateTimeFormat_; }
    // The starting folders of the document save and open dialogs.
    void setInitialFolders(const QString& save, const QString& open) {
        initialSaveFolder_ = save;
        initialOpenFolder_ = open;
    }

Q_SIGNALS:
    // The window has closed and stored its settings: the program ends.
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createComponents();
    void createCommands();
    void createSearchDialogs();
    void openCommandLine(const QString& argument);
    // Loads `path` and makes it the document; the document path changes only when the
    // load succeeded.
    void loadDocument(const QString& path);
    bool saveAs(); // false when the save dialog was cancelled
    void afterSave();
    bool FormCloseQuery();
    void FormClose();
    void openSubWindow(int number);
    void stayOnTopSubWindow(int number);
    void insertDateTime(const QString& pattern, bool asLine);
    void updateEditCommands();
    void watchFocusedEditor();
    ByteEditor* focusedEditor() const; // the main editor when no editor has the focus
    void setVisibleCommand(const QString& name, QWidget* target, const QString& shownHint,
                           const QString& hiddenHint);
    void applyHintDisplay(bool on);
    // What the search commands leave in the editor (a match selected, the caret after
    // a replacement) is what the window shows when it is next activated: they run
    // while their dialog, not the window, is active.
    void rememberSelection();

    CommandTable commands_;
    std::array<SubWindow*, 3> subWindows_{};
    TListWindow* fileListWindow_ = nullptr;
    QWidget* pageScroller_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* staticText_ = nullptr;
    ByteEditor* editor_ = nullptr;
    StatusPanels* statusBar_ = nullptr;
    QAction* activeMainWindowItem_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    FindDialog* findDialog_ = nullptr;
    ReplaceDialog* replaceDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    std::vector<QMetaObject::Connection> focusedEditorWatch_;
    QPointer<ByteEditor> lastEditor_; // the editor that had the focus last

    QString programFolder_;
    QString qelwPath_;
    QString initialSaveFolder_;
    QString initialOpenFolder_;
    QString windowName_;
    DateTimeFormatSettings dateTimeFormat_;
    QString captionSeparator_;
    QString documentPath_;
    QString lastOpenedName_;
    int modifiedFlag_ = 0;
    int saveCheckCancel_ = 0;
    int loadingFlag_ = 0;
    qsizetype caretPosition_ = 0;
    // Non-zero only for a match selected while the window was not active.
    qsizetype selectionLength_ = 0;
};

} // namespace qel

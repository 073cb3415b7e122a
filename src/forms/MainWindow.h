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
class FileListWindow;

namespace recovery {
class EditJournal;
class RecoverySession;
struct RecoveredText;
} // namespace recovery

// The main window: one document in its editor, the file commands, caption, status bar
// and font information line, and its own settings.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole creation (settings, a new document). The journal of unsaved edits
    // is kept in `recovery`'s files, which must outlive the window.
    explicit MainWindow(recovery::RecoverySession& recovery, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the document the first command-line argument names, if it names one; a
    // document recovered at start is not replaced without the save question.
    void openCommandLine(const QString& argument);

    // File commands.
    void newFile();
    void openFile();
    void save();
    void saveAs();
    void print();
    void setUpPrinter();
    void exitProgram();

    // Edit commands. Cut, copy, paste and the insertions act on this window's editor;
    // delete, select all and undo on the editor that has the focus.
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void undo();
    // The date, the time or both, as a line of its own above the caret's line or in
    // place of the selection.
    void insertDateLine();
    void insertDate();
    void insertTimeLine();
    void insertTime();
    void insertDateTimeLine();
    void insertDateTime();

    // Search commands, and the steps their modeless dialogs run.
    void showFindDialog();
    void showReplaceDialog();
    void findNext(); // down or up, as the find dialog says
    void findDown();
    void findUp();
    void findNextToReplace();
    void replaceOrReplaceAll(); // the replace dialog's Replace and Replace All
    void replaceSelectedMatch();
    void replaceAllMatches();

    // View and window commands. Sub-windows are numbered 1 to 3.
    void toggleToolBar();
    void toggleStatusBar();
    void toggleFontInfo();
    void toggleFileList();
    void toggleSubWindow(int number);
    // Shows the sub-window, in front of every other window from now on.
    void showSubWindowOnTop(int number);
    void activateMainWindow();

    // Settings commands.
    void chooseFont();
    void chooseTextColor();
    void chooseBackgroundColor();
    void showOptionsDialog();
    void showDateTimeFormatDialog();

    // The document.
    // Asks whether to save a changed document; takeSaveCancelled() then says whether
    // the user cancelled, and the operation that asked stops.
    void askToSave();
    bool takeSaveCancelled();
    // Loads `path` and makes it the document; the document path changes only when the
    // load succeeded. A file in another encoding than code page 932 is loaded only
    // after the user chose to convert it or to take it as it is.
    void loadDocument(const QString& path);
    // A new or loaded document: nothing to undo, the caret at the top, saved as it is.
    void resetDocument();
    // Files dropped on the window, in the order given; the last one stays open.
    void openDropped(const QStringList& paths);
    // Makes recovered text the document (after the save question, as any replacing
    // does): modified, with its path or untitled. False when the user cancelled.
    bool takeRecovered(recovery::RecoveredText recovered);
    // The journal of the document's unsaved edits.
    recovery::EditJournal& journal() const { return *journal_; }

    // What the window shows of the document and the editor.
    void updateCaption();
    void updateModifiedMark();
    void onTextChanged();
    void updateCaretPanel();
    void updateFontInfo();
    void updateFontHint();
    void updateFormatPanel();
    void countPrinters();
    void updatePrintCommands();

    // The master settings file and this window's own settings file.
    void readSettings();
    void readWindowSettings();
    void writeSettings();
    void writeWindowSettings();

    // Window events.
    void onActivated();
    void onDeactivated();

    // The other windows, once they exist: sub-window 1, 2 or 3, and the file list.
    void setSubWindow(int number, SubWindow* window);
    SubWindow* subWindow(int number) const;
    void setFileListWindow(FileListWindow* window) { fileListWindow_ = window; }
    FileListWindow* fileListWindow() const { return fileListWindow_; }

    // State, for the other windows.
    // The main editor; it owns the document, which the sub-windows' editors show too.
    ByteEditor* editor() const { return editor_; }
    bool isFontInfoShown() const;
    CommandTable& commands() { return commands_; }
    const QString& documentPath() const { return documentPath_; }
    bool isModified() const { return modified_; }
    const QString& windowName() const { return windowName_; }
    const QString& programFolder() const { return programFolder_; }
    // The window settings file readWindowSettings() reads and writeWindowSettings() writes.
    const QString& settingsFilePath() const { return windowSettingsPath_; }
    void setSettingsFilePath(const QString& path) { windowSettingsPath_ = path; }
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
    void createWidgets();
    void createCommands();
    // The find and replace dialogs, made when first asked for: most sessions never
    // search, and the window need not wait for them at start-up.
    FindDialog& findDialog();
    ReplaceDialog& replaceDialog();
    bool askNameAndSave(); // false when the save dialog was cancelled
    // Loads `path` as code page 932, whatever it holds, and makes it the document.
    void loadFile(const QString& path);
    void showConverted(const QString& text);
    void writeDocument(const QString& path);
    void afterSave();
    // Asks about unsaved changes here and in the file list; false keeps the program
    // running.
    bool mayClose();
    void closeOthersAndWriteSettings();
    void insertNow(const QString& pattern, bool asLine);
    void updateEditCommands();
    void watchFocusedEditor();
    ByteEditor* focusedEditor() const; // the main editor when no editor has the focus
    void toggleVisible(const QString& name, QWidget* target, const QString& shownHint,
                       const QString& hiddenHint);
    void showFontHints(bool on);
    // What the search commands leave in the editor (a match selected, the caret after
    // a replacement) is what the window shows when it is next activated: they run
    // while their dialog, not the window, is active.
    void rememberSelection();

    CommandTable commands_;
    std::array<SubWindow*, 3> subWindows_{};
    FileListWindow* fileListWindow_ = nullptr;
    QWidget* toolBarStrip_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* fontInfo_ = nullptr;
    ByteEditor* editor_ = nullptr;
    StatusPanels* statusBar_ = nullptr;
    QAction* activateItem_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    FindDialog* findDialog_ = nullptr;
    ReplaceDialog* replaceDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    std::vector<QMetaObject::Connection> focusedEditorWatch_;
    QPointer<ByteEditor> lastEditor_; // the editor that had the focus last

    QString programFolder_;
    QString windowSettingsPath_;
    QString initialSaveFolder_;
    QString initialOpenFolder_;
    QString windowName_;
    DateTimeFormatSettings dateTimeFormat_;
    QString captionSeparator_;
    QString documentPath_;
    QString lastOpenedName_;
    bool documentIsFile_ = false; // the text was loaded from or saved to documentPath_
    std::unique_ptr<recovery::EditJournal> journal_;
    bool modified_ = false;
    bool saveCancelled_ = false; // the user cancelled the last save question
    bool loading_ = false;       // the next text change is a load, not an edit
    qsizetype caretPosition_ = 0;
    // Non-zero only for a match selected while the window was not active.
    qsizetype selectionLength_ = 0;
};

} // namespace qel

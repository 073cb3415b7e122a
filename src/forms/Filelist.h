#pragma once

#include "filelist/FileList.h"
#include "filelist/ListFile.h"
#include "platform/Commands.h"
#include "platform/Dialogs.h"

#include <QPalette>
#include <QWidget>

#include <optional>

class QMenu;
class QTableView;

namespace qel {

class MainWindow;

// The file list window: files the user works with often, opened in the main window
// by a double-click or Enter. The list, its look and its column widths are kept in a
// list file; the master settings file names that file and keeps the window's place.
// Closing the window only hides it.
class TListWindow : public QWidget {
    Q_OBJECT
public:
    // Files open in `mainWindow`, which outlives the list; without one the list only
    // keeps its entries.
    explicit TListWindow(MainWindow* mainWindow = nullptr, QWidget* parent = nullptr);
    ~TListWindow() override;

    // Commands.
    void ItemAddExecute();
    void ItemDeleteExecute();
    void ItemDeleteAllExecute();
    void ListNewExecute();
    void ListOpenExecute();
    void ListSaveExecute();
    void FileOpenExecute();
    void SortNameExecute();
    void SortDateExecute();
    void SortSizeExecute();
    void SortFullPathExecute();
    void ChangeFontExecute();
    void ChangeFontColorExecute();
    void ChangeBackColorExecute();
    void CloseListWindowExecute();

    // Internal steps.
    // Adds the files in turn, each with its checks and message; the list counts as
    // changed even when none got in.
    void AddItem(const QStringList& paths);
    void ChangeCaption();
    void LoadIni();
    void SaveIni();
    void LoadList1();
    void SaveList1();
    // Asks whether to save a changed list; the answer given, if one was asked for.
    std::optional<Answer> SaveCheck();

    // Window events. The main window runs the close steps itself when it exits.
    bool FormCloseQuery();
    void finishClose();
    void dropFiles(const QStringList& paths);

    // State.
    CommandTable& commands() { return commands_; }
    FileList& list() { return *list_; }
    QTableView* listView() const { return listView_; }
    const QString& listFilePath() const { return listFilePath_; }
    bool isModified() const { return modified_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createComponents();
    void createCommands();
    QString newListPath() const;
    void startNewList();
    void sortBy(SortKey key);
    void applyLook(const ListLook& look);
    ListLook currentLook() const;
    void setListFont(const QFont& font);
    void chooseColor(QPalette::ColorRole role); // text or background
    FileRequest listFileRequest(const QString& title) const;
    void setHotRow(int row);
    // The main window's command says what pressing it does next.
    void setOpenFileListCommand(bool shown);

    MainWindow* mainWindow_;
    CommandTable commands_;
    FileList* list_ = nullptr;
    QTableView* listView_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QString programFolder_;
    QString listFilePath_;
    bool modified_ = false;
    int saveCheckCancel_ = 0;
    // The user chose not to save the changed list when closing: nothing is written.
    bool declinedAtClose_ = false;
    bool enterPressed_ = false; // Enter went down in the list, so its release opens
    int hotRow_ = -1;
};

} // namespace qel

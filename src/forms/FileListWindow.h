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
class FileListWindow : public QWidget {
    Q_OBJECT
public:
    // Files open in `mainWindow`, which outlives the list; without one the list only
    // keeps its entries.
    explicit FileListWindow(MainWindow* mainWindow = nullptr, QWidget* parent = nullptr);
    ~FileListWindow() override;

    // Commands.
    void addFiles(); // asks which
    void removeSelected();
    void removeAll();
    void newList();
    void openList();
    void saveList();         // asks where, the list file in use proposed
    void openSelectedFile(); // in the main window
    void sortByName();
    void sortByDate();
    void sortBySize();
    void sortByFullPath();
    void chooseFont();
    void chooseTextColor();
    void chooseBackgroundColor();
    void closeWindow();

    // Internal steps.
    // Adds the files in turn, each with its checks and message; the list counts as
    // changed even when none got in.
    void addPaths(const QStringList& paths);
    void updateCaption();
    // The window's place and the list file in use, in the master settings file.
    void readSettings();
    void writeSettings();
    // The list file in use, read and written. Entries whose files were not there when
    // the list was read are written back after the shown ones until the user changes
    // the list: a drive that was not plugged in does not empty it.
    void loadList();
    void writeList();
    // Asks whether to save a changed list; the answer given, if one was asked for.
    std::optional<Answer> askToSave();

    // Closing. The main window runs these steps itself when it exits.
    bool mayClose(); // false when the user cancelled the save question
    // Besides hiding: the main window's command shows the list closed, and the
    // settings and list are written.
    void finishClose();
    void addDropped(const QStringList& paths);

    // State.
    CommandTable& commands() { return commands_; }
    FileList& list() { return *list_; }
    QTableView* listView() const { return listView_; }
    const QString& listFilePath() const { return listFilePath_; }
    bool isModified() const { return modified_; }
    // Entries not found when the list was read, kept in the list file until the user
    // changes the list.
    const QStringList& keptMissingEntries() const { return keptMissing_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void createCommands();
    QString newListPath() const;
    void startNewList();
    void sortBy(SortKey key);
    void applyLook(const ListLook& look);
    // As wide as a date in the list's font needs.
    int fittingDateWidth() const;
    // The user changed the entries: those kept from reading go.
    void entriesChanged();
    void writeListTo(const QString& path, const QStringList& entries);
    ListLook currentLook() const;
    void setListFont(const QFont& font);
    void chooseColor(QPalette::ColorRole role); // text or background
    FileRequest listFileRequest(const QString& title) const;
    void setHotRow(int row);
    // The main window's command says what pressing it does next.
    void setOpenFileListCommand(bool shown);
    // Whether the user cancelled the last save question; the answer is used up.
    bool takeSaveCancelled();

    MainWindow* mainWindow_;
    CommandTable commands_;
    FileList* list_ = nullptr;
    QTableView* listView_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QString programFolder_;
    QString listFilePath_;
    QStringList keptMissing_;
    bool modified_ = false;
    bool saveCancelled_ = false; // the user cancelled the last save question
    // The user chose not to save the changed list when closing: nothing is written.
    bool declinedAtClose_ = false;
    bool enterPressed_ = false; // Enter went down in the list, so its release opens
    int hotRow_ = -1;
};

} // namespace qel

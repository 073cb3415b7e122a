#pragma once

#include "options/WindowPageFile.h"

#include <QDialog>
#include <QPlainTextEdit>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace qel {

class ByteLimitedEdit;
class ElidedLabel;
class MainWindow;

// The pane a window page previews its font and colours in; the user may type in it,
// and nothing typed there is kept.
class SamplePane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit SamplePane(QWidget* parent = nullptr);

    EditorLook look() const { return {font(), text_, background_}; }
    void setLook(const EditorLook& look);
    QColor textColor() const { return text_; }
    void setTextColor(const QColor& color);
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color);

private:
    QColor text_;
    QColor background_;
};

struct WindowPageNames;

// One window page: the name, look and place of the main window or of a sub-window.
// The four pages are this one class; their object names differ.
class WindowPageTab : public QWidget {
    Q_OBJECT
public:
    WindowPageTab(int window, const WindowPageNames& names, QWidget* parent = nullptr);

    int window() const { return window_; }
    // The page's values as the controls hold them, and back.
    WindowPage values() const;
    void setValues(const WindowPage& page);
    // The file-name label: the name, without folder, of the page's file.
    QString fileName() const;
    void setFileName(const QString& path);
    SamplePane* sample() const { return sample_; }

Q_SIGNALS:
    void fontClicked();
    void fontColorClicked();
    void backColorClicked();
    void saveClicked();
    void loadClicked();

private:
    int window_;
    SamplePane* sample_ = nullptr;
    ByteLimitedEdit* name_ = nullptr;
    ElidedLabel* fileName_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* position_ = nullptr;
    QCheckBox* shown_ = nullptr;
    QCheckBox* onTop_ = nullptr;
    WindowPage place_; // the four place texts
};

// The options dialog: the look of the four editing windows, the window settings file
// each one uses, the main window's initial folders, and configuration files. Nothing
// changes in the windows before OK; Cancel leaves them as they were.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Fills every page from the main window and its sub-windows and reads the
    // configuration in use.
    explicit OptionsDialog(MainWindow& mainWindow);
    ~OptionsDialog() override;

    // The window settings file chosen for window 0 (main) to 3, and the configuration
    // file in use.
    const QString& settingsFilePath(int window) const { return paths_[std::size_t(window)]; }
    const QString& configFilePath() const { return configFilePath_; }
    WindowPageTab* page(int window) const { return pages_[std::size_t(window)]; }

    // Fills the pages from the windows, and the lists from the configuration in use.
    void showCurrentSettings();

    // The buttons of a window page: the sample's font and colours, and the page saved
    // to or loaded from a window settings file the user chooses.
    void chooseFont();
    void chooseTextColor();
    void chooseBackgroundColor();
    void savePageToFile();
    void loadPageFromFile();
    // A window page saved to `path`, which then becomes the window's chosen settings
    // file; a save that fails throws with the reason and changes nothing. A window page
    // read from the window's chosen settings file.
    void writePageFile(int window, const QString& path);
    void readPageFile(int window);

    // The configuration: the file the master settings file names, read; a
    // configuration file written (and then the one in use; a failed save throws with
    // the reason and changes nothing) or read where the user chooses.
    void loadConfigurationInUse();
    void loadConfiguration();
    void storeConfiguration(const QString& path);
    void saveConfigurationAs();
    void openConfiguration();

    // The four lists of window settings files in the program folder: filled, their
    // chosen files selected, coloured like the pages' samples, and a file the user
    // picks taken as the window's.
    void fillFileLists();
    void fillFileList(int window);
    void selectFilesInUse();
    void selectFileInUse(int window);
    void colorFileLists();
    void onFileChosen(int window);

    // The two initial folders, chosen through a file of the folder.
    void chooseSaveFolder();
    void chooseOpenFolder();

    // OK applies the choices to the windows and files; Cancel applies nothing.
    void applyAndClose();
    void cancel();
    void applyUnlessCancelled();

    // Escape, and closing the window through the window system, count as Cancel.
    void reject() override;

private:
    void createWidgets();
    QWidget* createBasePage();
    // The window of the current page, or -1 on the Base page.
    int currentWindow() const;
    // The colour dialog for one of the current page's sample colours.
    void changeSampleColor(QColor (SamplePane::*color)() const,
                           void (SamplePane::*setColor)(const QColor&));
    void chooseFolder(QLineEdit* box);
    void setFolderBox(QLineEdit* box, const QString& text);
    // Closes the dialog after applyUnlessCancelled; an error in it keeps the dialog open.
    void closeDialog();

    MainWindow& mainWindow_;
    QTabWidget* tabs_ = nullptr;
    std::array<WindowPageTab*, kWindowCount> pages_{};
    std::array<QComboBox*, kWindowCount> fileLists_{};
    QLineEdit* saveFolderBox_ = nullptr;
    QLineEdit* openFolderBox_ = nullptr;

    std::array<QString, kWindowCount> paths_;
    QString configFilePath_;
    QString baseFolder_;
    bool cancelled_ = false;
};

} // namespace qel

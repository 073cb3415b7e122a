#pragma once

#include "WindowPageFile.h"
#include "datetime/DateTimeFormatSettings.h"
#include "settings/ConfigurationFile.h"

#include <QString>

#include <array>

namespace qel {

// Whether the main window shows its tool bar, information line and status bar.
struct ViewToggles {
    bool toolBar = true;
    bool fontInfo = false;
    bool statusBar = true;
    friend bool operator==(const ViewToggles&, const ViewToggles&) = default;
};

// The editing windows as the options dialog changes them when it closes with OK.
// Windows are numbered as for the pages: 0 the main window, 1 to 3 the sub-windows.
class OptionsWindows {
public:
    virtual ~OptionsWindows() = default;
    virtual bool exists(int window) const = 0;
    // The window settings file the window reads from now on (and writes at its close).
    virtual void setSettingsFile(int window, const QString& path) = 0;
    // The window reads its whole settings file again.
    virtual void reloadSettings(int window) = 0;
    virtual ViewToggles viewToggles() const = 0;
    virtual void setViewToggles(const ViewToggles& toggles) = 0;
    // The main window's starting folders for saving and opening documents.
    virtual void setInitialFolders(const QString& save, const QString& open) = 0;
};

// Everything the dialog holds when OK is pressed.
struct OptionsChoices {
    QString programFolder;
    QString configurationFile;
    // The settings file chosen for each window, and the two folder boxes as they stand.
    Configuration configuration;
    // The file name shown on each window page: the page is written to the file of that
    // name in the program folder.
    std::array<QString, kWindowCount> pageFileNames;
    std::array<WindowPage, kWindowCount> pages;
    DateTimeFormatSettings dateTime; // the main window's, written with its page
};

// Applies the dialog, in this order: the master settings file names the configuration
// file, which is written; every page is written to its file in the program folder (a
// sub-window's only when the sub-window exists); each window is handed the settings
// file chosen for it; the main window and then each existing sub-window read their
// settings files again, the main window's view toggles staying as they were (the dialog
// has no control for them); the main window takes the two folders as they stand.
//
// A place text that is no integer throws Error from the page writing: the files written
// before it stay written, no window has changed, and the same choices can be applied
// again.
void applyOptions(const OptionsChoices& choices, OptionsWindows& windows);

} // namespace qel

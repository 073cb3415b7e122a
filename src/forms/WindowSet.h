#pragma once

#include <QStringList>

#include <array>
#include <memory>

namespace qel {

class MainWindow;
class SubWindow;
class FileListWindow;
class OptionsDialog;
class DateTimeFormatDialog;

namespace recovery {
class RecoverySession;
}

// The program's windows. Creates them in their order (the main window first, its
// creation complete before any other exists), hands each the windows it works with,
// offers back the work of programs that ended without saving it, opens the document
// the command line names, and destroys the windows, last first.
class WindowSet {
public:
    explicit WindowSet(const QStringList& arguments);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    MainWindow& mainWindow() const { return *mainWindow_; }
    // Sub-window 1, 2 or 3.
    SubWindow& subWindow(int number) const { return *subWindows_[std::size_t(number - 1)]; }
    FileListWindow& fileListWindow() const { return *fileListWindow_; }
    // An options dialog and a date/time format dialog that are never shown: the
    // commands show fresh ones. Nothing needs them, so they are made when first asked
    // for, not at start-up.
    OptionsDialog& optionsDialog();
    DateTimeFormatDialog& dateTimeFormatDialog();

private:
    // Asks about each piece of work left by a program that is no longer running.
    void offerRecovery();

    // In creation order: members are destroyed last first.
    std::unique_ptr<recovery::RecoverySession> recovery_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::array<std::unique_ptr<SubWindow>, 3> subWindows_;
    std::unique_ptr<FileListWindow> fileListWindow_;
    std::unique_ptr<OptionsDialog> optionsDialog_;
    std::unique_ptr<DateTimeFormatDialog> dateTimeFormatDialog_;
};

} // namespace qel

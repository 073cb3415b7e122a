#include "WindowSet.h"

#include "DateTimeFormatDialog.h"
#include "FileListWindow.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "SubWindow.h"

namespace qel {

WindowSet::WindowSet(const QStringList& arguments) {
    mainWindow_ = std::make_unique<MainWindow>(arguments);
    // Each window is known to the main window as soon as it exists.
    for (int n = 1; n <= 3; ++n) {
        auto& window = subWindows_[std::size_t(n - 1)];
        window = std::make_unique<SubWindow>(n, *mainWindow_);
        mainWindow_->setSubWindow(n, window.get());
    }
    fileListWindow_ = std::make_unique<FileListWindow>(mainWindow_.get());
    mainWindow_->setFileListWindow(fileListWindow_.get());
}

WindowSet::~WindowSet() = default;

OptionsDialog& WindowSet::optionsDialog() {
    if (!optionsDialog_)
        optionsDialog_ = std::make_unique<OptionsDialog>(*mainWindow_);
    return *optionsDialog_;
}

DateTimeFormatDialog& WindowSet::dateTimeFormatDialog() {
    if (!dateTimeFormatDialog_)
        dateTimeFormatDialog_ = std::make_unique<DateTimeFormatDialog>(mainWindow_.get());
    return *dateTimeFormatDialog_;
}

} // namespace qel

#include "Windows.h"

#include "Datetimeformat.h"
#include "Filelist.h"
#include "MainWindow.h"
#include "Propertyw.h"
#include "Subw.h"

namespace qel {

WindowSet::WindowSet(const QStringList& arguments) {
    mainWindow_ = std::make_unique<MainWindow>(arguments);
    // Each window is known to the main window as soon as it exists.
    subWindows_[0] = std::make_unique<TSubForm>(*mainWindow_);
    mainWindow_->setSubWindow(1, subWindows_[0].get());
    subWindows_[1] = std::make_unique<TSubForm2>(*mainWindow_);
    mainWindow_->setSubWindow(2, subWindows_[1].get());
    subWindows_[2] = std::make_unique<TSubForm3>(*mainWindow_);
    mainWindow_->setSubWindow(3, subWindows_[2].get());
    fileListWindow_ = std::make_unique<TListWindow>(mainWindow_.get());
    mainWindow_->setFileListWindow(fileListWindow_.get());
    optionsDialog_ = std::make_unique<TPropertyForm>(*mainWindow_);
    dateTimeFormatDialog_ = std::make_unique<TDateTimeFormatForm>(mainWindow_.get());
}

WindowSet::~WindowSet() = default;

} // namespace qel

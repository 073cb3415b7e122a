#include "WindowSet.h"

#include "DateTimeFormatDialog.h"
#include "FileListWindow.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "SubWindow.h"

#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "recovery/AbandonedWork.h"
#include "recovery/EditJournal.h"
#include "recovery/RecoveryFolder.h"

#include <QDir>

namespace qel {

WindowSet::WindowSet(const QStringList& arguments) {
    recovery_ = std::make_unique<recovery::RecoverySession>(recovery::recoveryFolder());
    mainWindow_ = std::make_unique<MainWindow>(*recovery_);
    // Each window is known to the main window as soon as it exists.
    for (int n = 1; n <= 3; ++n) {
        auto& window = subWindows_[std::size_t(n - 1)];
        window = std::make_unique<SubWindow>(n, *mainWindow_);
        mainWindow_->setSubWindow(n, window.get());
    }
    fileListWindow_ = std::make_unique<FileListWindow>(mainWindow_.get());
    mainWindow_->setFileListWindow(fileListWindow_.get());
    guarded([this] { offerRecovery(); });
    if (!arguments.isEmpty())
        mainWindow_->openCommandLine(arguments.first());
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

void WindowSet::offerRecovery() {
    using recovery::AbandonedWork;
    for (AbandonedWork& work : AbandonedWork::findIn(recovery_->folder())) {
        const bool recoverable = work.outcome() != AbandonedWork::Outcome::Lost;
        const QStringList buttons = recovery::recoveryButtons(work);
        const int later = int(buttons.size()) - 1;
        // Return recovers; Escape, or closing the box, keeps the work for later.
        const int answer = dialogs().choose(
            {recovery::recoveryQuestion(work), buttons, recoverable ? 0 : later, later});
        if (answer == later)
            continue;
        if (!recoverable || answer == 1) {
            work.discard();
            continue;
        }
        guarded([&] {
            recovery::RecoveredText text = work.recover();
            if (!text.text) {
                dialogs().message(
                    QStringLiteral("元のファイルが変更されたため、復元できませんでした。"));
                return;
            }
            if (!mainWindow_->takeRecovered(std::move(text)))
                return;
            // The work goes once this program's journal holds it.
            mainWindow_->journal().waitUntilWritten();
            work.discard();
        });
    }
    // With everything discarded the folder goes too (it stays while it holds anything).
    QDir().rmdir(recovery_->folder());
}

} // namespace qel

#include "ApplyOptions.h"

#include "settings/IniFile.h"

namespace qel {

void applyOptions(const OptionsChoices& choices, OptionsWindows& windows) {
    {
        IniFile master(choices.programFolder + kMasterSettingsFile);
        writeConfigurationFilePath(master, choices.configurationFile);
    }
    {
        IniFile file(choices.configurationFile);
        writeConfiguration(file, choices.configuration);
    }

    // The pages first: a page that cannot be written stops OK before any window has
    // changed, so that cancelling the dialog then leaves every window as it was.
    for (int w = 0; w < kWindowCount; ++w) {
        if (!windows.exists(w))
            continue;
        IniFile file(choices.programFolder + choices.pageFileNames[std::size_t(w)]);
        writeWindowPage(file, w, choices.pages[std::size_t(w)], choices.dateTime);
    }

    for (int w = 0; w < kWindowCount; ++w)
        if (windows.exists(w))
            windows.setSettingsFile(w, choices.configuration.settingsFiles[std::size_t(w)]);

    const ViewToggles toggles = windows.viewToggles();
    for (int w = 0; w < kWindowCount; ++w)
        if (windows.exists(w))
            windows.reloadSettings(w);
    windows.setViewToggles(toggles);

    windows.setInitialFolders(choices.configuration.saveFolder, choices.configuration.openFolder);
}

} // namespace qel

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

    for (int w = 0; w < kWindowCount; ++w)
        if (windows.exists(w))
            windows.setSettingsFile(w, choices.configuration.settingsFiles[std::size_t(w)]);

    // The page files are worked out apart from the chosen files, so that choices that
    // failed half-way apply the same way when tried again.
    for (int w = 0; w < kWindowCount; ++w) {
        if (!windows.exists(w))
            continue;
        IniFile file(choices.programFolder + choices.pageFileNames[std::size_t(w)]);
        writeWindowPage(file, w, choices.pages[std::size_t(w)], choices.dateTime);
    }

    for (int w = 0; w < kWindowCount; ++w)
        if (windows.exists(w))
            windows.reloadSettings(w);

    windows.setInitialFolders(choices.configuration.saveFolder, choices.configuration.openFolder);
}

} // namespace qel

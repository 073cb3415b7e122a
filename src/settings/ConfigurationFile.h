#pragma once

#include <QString>

#include <array>

namespace qel {

class IniFile;

// A configuration file (.Qel): a named set of the window settings file of each editing
// window and the main window's two initial folders. The master settings file names the
// one in use.
struct Configuration {
    // The main window's, then sub-window 1, 2 and 3's window settings file.
    std::array<QString, 4> settingsFiles;
    QString saveFolder;
    QString openFolder;
    friend bool operator==(const Configuration&, const Configuration&) = default;
};

inline constexpr char16_t kMasterSettingsFile[] = u"QelEditor.ini";
inline constexpr char16_t kDefaultConfigurationFile[] = u"DefaultConfig.Qel";

// Config/IniFile of the master settings file; the program folder's DefaultConfig.Qel
// when the key is absent.
QString readConfigurationFilePath(const IniFile& master, const QString& programFolder);
void writeConfigurationFilePath(IniFile& master, const QString& path);

// Reads the six values; each one the file lacks comes from `defaults`. The folders are
// taken as they stand.
Configuration readConfiguration(const IniFile& file, const Configuration& defaults);
// Writes UseQelWFile Main, Sub1, Sub2, Sub3 and InitialFolder Save, Load in that order;
// of each folder only its folder part is written (so "/home/a/docs" is stored as
// "/home/a/").
void writeConfiguration(IniFile& file, const Configuration& configuration);

} // namespace qel

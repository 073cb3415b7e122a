#include "ConfigurationFile.h"

#include "IniFile.h"
#include "SettingValues.h"

namespace qel {

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kUseQelW = QStringLiteral("UseQelWFile");
const QString kInitialFolder = QStringLiteral("InitialFolder");
constexpr const char16_t* kWindowKeys[] = {u"Main", u"Sub1", u"Sub2", u"Sub3"};

} // namespace

QString readConfigurationFilePath(const IniFile& master, const QString& programFolder) {
    return master.readString(kConfig, u"IniFile", programFolder + kDefaultConfigurationFile);
}

void writeConfigurationFilePath(IniFile& master, const QString& path) {
    master.writeString(kConfig, u"IniFile", path);
}

Configuration readConfiguration(const IniFile& file, const Configuration& defaults) {
    Configuration c;
    for (std::size_t i = 0; i < c.settingsFiles.size(); ++i)
        c.settingsFiles[i] = file.readString(kUseQelW, kWindowKeys[i], defaults.settingsFiles[i]);
    c.saveFolder = file.readString(kInitialFolder, u"Save", defaults.saveFolder);
    c.openFolder = file.readString(kInitialFolder, u"Load", defaults.openFolder);
    return c;
}

void writeConfiguration(IniFile& file, const Configuration& configuration) {
    for (std::size_t i = 0; i < configuration.settingsFiles.size(); ++i)
        file.writeString(kUseQelW, kWindowKeys[i], configuration.settingsFiles[i]);
    file.writeString(kInitialFolder, u"Save", extractFilePath(configuration.saveFolder));
    file.writeString(kInitialFolder, u"Load", extractFilePath(configuration.openFolder));
}

} // namespace qel

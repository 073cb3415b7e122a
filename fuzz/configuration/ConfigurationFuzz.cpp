// The configuration file reader on any file: each value is the one the file holds or
// else the default; a configuration written to a new file, or over the file read,
// reads back as written (folders by their folder part, values as the settings file
// syntax keeps them); the master settings file's entry naming it does too.
//
// Input: the file's bytes, then fields: the four window settings files and the two
// folders to write over it.
#include "../FuzzSupport.h"

#include "settings/ConfigurationFile.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"
#include "text/Cp932.h"

using namespace qel;
using qel::fuzz::FuzzInput;
using qel::fuzz::readBack;
using qel::fuzz::scratchFile;
using qel::fuzz::writeFile;

namespace {

// Compares a value read back with the one written, where a save keeps it.
void checkReadBack(const QString& read, const QString& written, bool utf8) {
    if (fuzz::keepsValue(written, utf8))
        FUZZ_CHECK_EQ(read, readBack(written));
}

void checkWrittenReadsBack(const QString& path, const Configuration& written) {
    {
        IniFile file(path);
        writeConfiguration(file, written);
        writeConfigurationFilePath(file, written.settingsFiles[0]);
    }
    const IniFile file(path);
    const bool utf8 = fuzz::isUtf8File(path);
    const Configuration read = readConfiguration(file, Configuration{});
    for (std::size_t i = 0; i < written.settingsFiles.size(); ++i)
        checkReadBack(read.settingsFiles[i], written.settingsFiles[i], utf8);
    checkReadBack(read.saveFolder, extractFilePath(written.saveFolder), utf8);
    checkReadBack(read.openFolder, extractFilePath(written.openFolder), utf8);
    checkReadBack(readConfigurationFilePath(file, QStringLiteral("/elsewhere/")),
                  written.settingsFiles[0], utf8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = scratchFile(QStringLiteral("config.Qel"));
    const QString copyPath = scratchFile(QStringLiteral("copy.Qel"));
    FuzzInput in(data, size);
    writeFile(path, in.field());
    Configuration next;
    for (QString& file : next.settingsFiles)
        file = cp932::decodeText(in.field());
    next.saveFolder = cp932::decodeText(in.field());
    next.openFolder = cp932::decodeText(in.field());

    const Configuration defaults{
        {QStringLiteral("m"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
        QStringLiteral("save"),
        QStringLiteral("open")};
    Configuration read;
    {
        const IniFile file(path);
        read = readConfiguration(file, defaults);
        const char16_t* keys[] = {u"Main", u"Sub1", u"Sub2", u"Sub3"};
        for (std::size_t i = 0; i < read.settingsFiles.size(); ++i)
            FUZZ_CHECK_EQ(read.settingsFiles[i],
                          file.readString(u"UseQelWFile", keys[i], defaults.settingsFiles[i]));
        FUZZ_CHECK_EQ(read.saveFolder,
                      file.readString(u"InitialFolder", u"Save", QStringLiteral("save")));
        FUZZ_CHECK_EQ(read.openFolder,
                      file.readString(u"InitialFolder", u"Load", QStringLiteral("open")));
        const QString inUse = readConfigurationFilePath(file, QStringLiteral("/folder/"));
        FUZZ_CHECK_EQ(inUse, file.readString(u"Config", u"IniFile",
                                             QStringLiteral("/folder/DefaultConfig.Qel")));
    }

    writeFile(copyPath, QByteArrayView());
    checkWrittenReadsBack(copyPath, read);
    checkWrittenReadsBack(path, next);
    return 0;
}

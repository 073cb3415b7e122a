// Configuration files: the six values, their order, their defaults and the folder part
// that is stored of each folder.
#include "settings/ConfigurationFile.h"
#include "../TestPrinters.h"
#include "settings/IniFile.h"
#include "text/Cp932.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

class ConfigurationFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = u"a.Qel"_s) const { return dir_.filePath(name); }
    QByteArray stored(const QString& name = u"a.Qel"_s) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void store(const QString& text, const QString& name = u"a.Qel"_s) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cp932::encode(text));
    }
    Configuration write(const Configuration& c) {
        {
            IniFile file(path());
            writeConfiguration(file, c);
        }
        return readConfiguration(IniFile(path()), {});
    }

    QTemporaryDir dir_;
    const Configuration defaults_{{u"/p/DefaultMain.QelW"_s, u"/p/DefaultSub1.QelW"_s,
                                   u"/p/DefaultSub2.QelW"_s, u"/p/DefaultSub3.QelW"_s},
                                  u"/p/"_s,
                                  u"/p/"_s};
};

TEST_F(ConfigurationFileTest, SixValuesInTheirOrderWithTheFolderPartOfEachFolder) {
    const Configuration read =
        write({{u"/p/Main.QelW"_s, u"/other/S1.QelW"_s, u"/p/S2.QelW"_s, u"/p/S3.QelW"_s},
               u"/home/me/docs"_s,
               u"/home/me/in/"_s});
    EXPECT_EQ(stored(), QByteArray("[UseQelWFile]\r\nMain=/p/Main.QelW\r\nSub1=/other/S1.QelW\r\n"
                                   "Sub2=/p/S2.QelW\r\nSub3=/p/S3.QelW\r\n"
                                   "[InitialFolder]\r\nSave=/home/me/\r\nLoad=/home/me/in/\r\n"));
    EXPECT_EQ(read.settingsFiles[1], u"/other/S1.QelW"_s);
    EXPECT_EQ(read.saveFolder, u"/home/me/"_s);
}

TEST_F(ConfigurationFileTest, FolderPartOfAFolderBox) {
    const struct {
        QString box, stored;
    } cases[] = {
        {u"/home/me/docs/"_s, u"/home/me/docs/"_s}, // ends in a separator: whole
        {u"/home/me/docs"_s, u"/home/me/"_s},
        {u"docs"_s, QString()},
        {QString(), QString()},
        // 表 and ソ end in the byte 0x5C in code page 932; only "/" separates.
        {u"/data/表ソ/メモ.txt"_s, u"/data/表ソ/"_s},
        {u"/data/表ソ"_s, u"/data/"_s},
    };
    for (const auto& c : cases) {
        Configuration config = defaults_;
        config.saveFolder = c.box;
        EXPECT_EQ(write(config).saveFolder, c.stored) << c.box.toStdString();
    }
    // The file holds the two characters' bytes followed by the real separator.
    Configuration config = defaults_;
    config.openFolder = u"/data/表ソ/x"_s;
    write(config);
    EXPECT_TRUE(stored().contains("Load=/data/\x95\x5C\x83\x5C/\r\n")) << stored().toStdString();
}

TEST_F(ConfigurationFileTest, MissingFileOrKeysGiveTheDefaultsAndFoldersReadAsTheyStand) {
    EXPECT_EQ(readConfiguration(IniFile(path(u"none.Qel"_s)), defaults_), defaults_);
    store(u"[useqelwfile]\nsub2=/x/Two.QelW\n[InitialFolder]\nLoad=/no/separator\n"
          u"Save=\n"_s);
    Configuration expected = defaults_;
    expected.settingsFiles[2] = u"/x/Two.QelW"_s;
    expected.openFolder = u"/no/separator"_s;
    expected.saveFolder = QString(); // present but empty: empty, not the default
    EXPECT_EQ(readConfiguration(IniFile(path()), defaults_), expected);
}

TEST_F(ConfigurationFileTest, MasterSettingsFileNamesTheConfigurationInUse) {
    EXPECT_EQ(readConfigurationFilePath(IniFile(path(u"QelEditor.ini"_s)), u"/prog/"_s),
              u"/prog/DefaultConfig.Qel"_s);
    store(u"[UseQelWFile]\nMain=/p/M.QelW\n"_s, u"QelEditor.ini"_s);
    {
        IniFile master(path(u"QelEditor.ini"_s));
        writeConfigurationFilePath(master, u"/home/me/work.Qel"_s);
    }
    EXPECT_EQ(
        stored(u"QelEditor.ini"_s),
        QByteArray("[UseQelWFile]\r\nMain=/p/M.QelW\r\n[Config]\r\nIniFile=/home/me/work.Qel\r\n"));
    EXPECT_EQ(readConfigurationFilePath(IniFile(path(u"QelEditor.ini"_s)), u"/prog/"_s),
              u"/home/me/work.Qel"_s);
}

} // namespace
} // namespace qel

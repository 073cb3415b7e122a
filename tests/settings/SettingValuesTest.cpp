// How fonts, colours and paths are written in the settings files. The window tests read
// and write the usual values; here are the edges.
#include "settings/SettingValues.h"
#include "../TestPrinters.h"
#include "settings/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <tuple>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

TEST(FontStyleName, NamesEachStyleAndOnlyExactNamesRestoreIt) {
    for (auto [bold, italic, name] : {std::tuple{false, false, u"Normal"},
                                      {true, false, u"Bold"},
                                      {false, true, u"Italic"},
                                      {true, true, u"ItalicBold"}}) {
        QFont f;
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(true); // underline and strike-out are not part of the name...
        EXPECT_EQ(fontStyleName(f), QStringView(name));
        f.setBold(!bold);
        f.setItalic(!italic);
        EXPECT_TRUE(applyFontStyleName(f, name));
        EXPECT_EQ(f.bold(), bold);
        EXPECT_EQ(f.italic(), italic);
        EXPECT_FALSE(f.underline()); // ...and a stored name clears them
    }
    for (const char16_t* name : {u"bold", u"ITALIC", u"BoldItalic", u"", u" Bold", u"Normal "}) {
        QFont f;
        f.setBold(true);
        f.setUnderline(true);
        EXPECT_FALSE(applyFontStyleName(f, name));
        EXPECT_TRUE(f.bold() && !f.italic() && f.underline());
    }
}

TEST(ColorValue, RedInTheLowBitsBlueInTheHighAndOutOfRangeFallsBack) {
    EXPECT_EQ(colorValue(QColor(255, 0, 0)), 0x0000FF);
    EXPECT_EQ(colorValue(QColor(1, 2, 3)), 0x030201);
    const QColor fallback(10, 20, 30);
    EXPECT_EQ(colorFromValue(0x030201, fallback), QColor(1, 2, 3));
    EXPECT_EQ(colorFromValue(16777215, fallback), QColor(Qt::white));
    EXPECT_EQ(colorFromValue(16777216, fallback), fallback);
    EXPECT_EQ(colorFromValue(-1, fallback), fallback);
}

TEST(PathParts, SplitAtTheLastSeparator) {
    EXPECT_EQ(extractFilePath(u"/home/user/notes.txt"), u"/home/user/"_s);
    EXPECT_EQ(extractFileName(u"/home/user/notes.txt"), u"notes.txt"_s);
    EXPECT_EQ(extractFilePath(u"notes.txt"), QString());
    EXPECT_EQ(extractFileName(u"/home/user/"), QString());
    EXPECT_EQ(extractFilePath(u"/"), u"/"_s);
    EXPECT_EQ(extractFileName(u"メモ/日記.txt"), u"日記.txt"_s);
    EXPECT_EQ(extractFileName(u"dir\\a.ini"), u"dir\\a.ini"_s);
}

TEST(ProgramFolder, OverrideAndFallbackEndWithASeparator) {
    setProgramFolder(u"/tmp/settings-here"_s);
    EXPECT_EQ(programFolder(), u"/tmp/settings-here/"_s);
    // No application object yet: the current folder stands in.
    setProgramFolder(QString());
    EXPECT_EQ(programFolder(), QDir::currentPath() + u'/');
    // With one, a copy in a writable folder (this test's build folder) keeps its
    // settings beside itself.
    int argc = 1;
    char name[] = "settings_tests";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath() + u'/');
}

TEST(ProgramFolder, AnInstalledCopyKeepsItsSettingsInTheUserFolder) {
    const QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString root = temp.path() + u'/';
    QFile file(root + u"not-a-folder"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QDir().mkpath(root + u"copy"_s);

    struct Case {
        const char* what;
        QString executableFolder;
        bool besideTheProgram;
    };
    for (const Case& c : {
             Case{"a copy in a folder of its own", root + u"copy"_s, true},
             Case{"the same, named with a separator", root + u"copy/"_s, true},
             Case{"a folder that is gone", root + u"gone"_s, false},
             Case{"a folder nobody can write in", root + u"not-a-folder/bin"_s, false},
         }) {
        SCOPED_TRACE(c.what);
        const QString user = root + u"config/QelEditor"_s;
        QDir(user).removeRecursively();
        const QString folder = settingsFolder(c.executableFolder, user);
        EXPECT_EQ(folder, c.besideTheProgram ? QString(root + u"copy/"_s) : QString(user + u'/'));
        // The user folder exists once chosen, so the first save can create its files.
        EXPECT_EQ(QFileInfo(user).isDir(), !c.besideTheProgram);
    }
}

} // namespace
} // namespace qel

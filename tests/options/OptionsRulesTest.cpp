// The options dialog's rules without its widgets: the lists of window settings files
// and the sequence that applies the dialog when it closes with OK.
#include "../TestPrinters.h"
#include "options/ApplyOptions.h"
#include "options/SettingsFileList.h"
#include "settings/IniFile.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool touch(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

TEST(SettingsFileList, ListsTheFolderSortedAndFindsNamesInAnyLetterCase) {
    QTemporaryDir dir;
    for (const char16_t* name : {u"b.QelW", u"A.qelw", u"c.QELW", u"メモ.QelW", u"C.QelW",
                                 u".hidden.QelW", u"notes.QelW.txt", u"x.Qel", u"QelW"})
        ASSERT_TRUE(touch(dir.filePath(QString::fromUtf16(name))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.QelW"_s));
    const QStringList names = windowSettingsFileNames(dir.path() + u'/');
    EXPECT_EQ(names,
              (QStringList{u"A.qelw"_s, u"b.QelW"_s, u"C.QelW"_s, u"c.QELW"_s, u"メモ.QelW"_s}));
    EXPECT_TRUE(windowSettingsFileNames(dir.filePath(u"missing/"_s)).isEmpty());

    EXPECT_EQ(indexOfFileName(names, u"a.QELW"), 0);
    EXPECT_EQ(indexOfFileName(names, u"c.qelw"), 2); // the first of two that differ in case
    EXPECT_EQ(indexOfFileName(names, u"メモ.qelw"), 4);
    EXPECT_EQ(indexOfFileName(names, u"b"), -1);
    EXPECT_EQ(indexOfFileName(names, u""), -1);

    EXPECT_EQ(sortedPosition(names, u"0.QelW"_s), 0);
    EXPECT_EQ(sortedPosition(names, u"bb.QelW"_s), 2);
    EXPECT_EQ(sortedPosition(names, u"zz.QelW"_s), 4);

    // A saved file joins the lists only when the first list has entries and not the name.
    EXPECT_TRUE(joinsFileLists(names, u"new.QelW"));
    EXPECT_FALSE(joinsFileLists(names, u"B.QELW"));
    EXPECT_FALSE(joinsFileLists({}, u"new.QelW"));
}

// The windows as the sequence sees them: every step it takes, in order.
class RecordingWindows : public OptionsWindows {
public:
    explicit RecordingWindows(std::array<bool, kWindowCount> exists) : exists_(exists) {}
    bool exists(int window) const override { return exists_[std::size_t(window)]; }
    void setSettingsFile(int window, const QString& path) override {
        log << u"file %1 %2"_s.arg(window).arg(path);
    }
    // Reloading the main window puts its view toggles back to what its file says.
    void reloadSettings(int window) override {
        log << u"reload %1"_s.arg(window);
        if (window == 0)
            toggles = {};
    }
    ViewToggles viewToggles() const override { return toggles; }
    void setViewToggles(const ViewToggles& shown) override {
        log << u"toggles %1 %2 %3"_s.arg(shown.toolBar).arg(shown.fontInfo).arg(shown.statusBar);
        toggles = shown;
    }
    void setInitialFolders(const QString& save, const QString& open) override {
        log << u"folders %1 %2"_s.arg(save, open);
    }
    QStringList log;
    ViewToggles toggles{false, true, false}; // as the user set them

private:
    std::array<bool, kWindowCount> exists_;
};

class ApplyOptionsTest : public ::testing::Test {
protected:
    ApplyOptionsTest() {
        folder_ = dir_.path() + u'/';
        choices_.programFolder = folder_;
        choices_.configurationFile = folder_ + u"DefaultConfig.Qel";
        for (int w = 0; w < kWindowCount; ++w) {
            const QString name = w == 0 ? u"DefaultMain.QelW"_s : u"DefaultSub%1.QelW"_s.arg(w);
            choices_.configuration.settingsFiles[std::size_t(w)] = folder_ + name;
            choices_.pageFileNames[std::size_t(w)] = name;
            WindowPage& page = choices_.pages[std::size_t(w)];
            page.name = defaultWindowName(w);
            page.width = u"500"_s;
            page.height = u"350"_s;
            page.left = page.top = u"100"_s;
        }
        choices_.configuration.saveFolder = u"/home/me/docs"_s;
        choices_.configuration.openFolder = folder_;
    }
    QString file(const QString& name) const { return folder_ + name; }

    QTemporaryDir dir_;
    QString folder_;
    OptionsChoices choices_;
};

TEST_F(ApplyOptionsTest, ConfigurationAndPagesFirstThenHandOverReloadsAndFolders) {
    // Sub-window 1 is handed a file elsewhere; its page goes to the name shown on it,
    // in the program folder. Sub-window 2 does not exist: no page, no reload.
    choices_.configuration.settingsFiles[1] = u"/elsewhere/Other.QelW"_s;
    choices_.pageFileNames[1] = u"Other.QelW"_s;
    choices_.pages[1].name = u"一"_s;
    RecordingWindows windows({true, true, false, true});
    applyOptions(choices_, windows);

    EXPECT_EQ(readAll(file(u"QelEditor.ini"_s)),
              "[Config]\r\nIniFile=" + choices_.configurationFile.toUtf8() + "\r\n");
    EXPECT_EQ(readAll(choices_.configurationFile),
              u"[UseQelWFile]\r\nMain=%1DefaultMain.QelW\r\nSub1=/elsewhere/Other.QelW\r\n"
              u"Sub2=%1DefaultSub2.QelW\r\nSub3=%1DefaultSub3.QelW\r\n"
              u"[InitialFolder]\r\nSave=/home/me/\r\nLoad=%1\r\n"_s.arg(folder_)
                  .toUtf8());
    EXPECT_EQ(windows.log, (QStringList{u"file 0 "_s + file(u"DefaultMain.QelW"_s),
                                        u"file 1 /elsewhere/Other.QelW"_s,
                                        u"file 3 "_s + file(u"DefaultSub3.QelW"_s), u"reload 0"_s,
                                        u"reload 1"_s, u"reload 3"_s,
                                        // the main window's toggles as the user had them
                                        u"toggles 0 1 0"_s,
                                        // the folders as the boxes hold them
                                        u"folders /home/me/docs "_s + folder_}));
    EXPECT_EQ(windows.toggles, (ViewToggles{false, true, false}));
    EXPECT_TRUE(readAll(file(u"DefaultMain.QelW"_s)).contains("[Date&TimeFormat]"));
    EXPECT_TRUE(readAll(file(u"Other.QelW"_s)).contains("WindowName=\x88\xea\r\n"));
    EXPECT_FALSE(QFile::exists(file(u"DefaultSub1.QelW"_s)));
    EXPECT_FALSE(QFile::exists(file(u"DefaultSub2.QelW"_s)));
}

TEST_F(ApplyOptionsTest, FailedConversionStopsAfterWhatWasWrittenAndCanBeRetried) {
    choices_.pages[2].left = u"abc"_s;
    RecordingWindows windows({true, true, true, true});
    EXPECT_THROW(applyOptions(choices_, windows), Error);
    // The configuration, the pages before it and the keys before Left are written; no
    // window has been handed a file or reloaded.
    EXPECT_TRUE(QFile::exists(choices_.configurationFile));
    EXPECT_EQ(windows.log, QStringList());
    EXPECT_TRUE(QFile::exists(file(u"DefaultSub1.QelW"_s)));
    EXPECT_EQ(readAll(file(u"DefaultSub2.QelW"_s)), QByteArray("[Form]\r\nTop=100\r\n"));
    EXPECT_FALSE(QFile::exists(file(u"DefaultSub3.QelW"_s)));

    // Corrected (a page loaded again), the same choices apply in full.
    choices_.pages[2].left = u"7"_s;
    applyOptions(choices_, windows);
    EXPECT_EQ(windows.log.size(), 10);
    EXPECT_EQ(windows.log[2], u"file 2 "_s + file(u"DefaultSub2.QelW"_s));
    EXPECT_TRUE(readAll(file(u"DefaultSub2.QelW"_s)).startsWith("[Form]\r\nTop=100\r\nLeft=7\r\n"));
}

} // namespace
} // namespace qel

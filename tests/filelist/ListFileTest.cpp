// List files and the FileList section, byte for byte, without a window.
#include "filelist/ListFile.h"
#include "settings/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

class ListFileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(u"list.QelL"_s); }
    void store(const QByteArray& bytes) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray stored() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    ListFileContents read() const {
        const IniFile ini(path());
        return readListFile(ini);
    }

    QTemporaryDir dir_;
};

TEST_F(ListFileTest, WritesItsKeysInOrderAndReadsThemBack) {
    ListLook look;
    look.font = u"Test Face"_s;
    look.fontSize = 12;
    look.fontColor = 255;
    look.color = 65280;
    look.columnWidths = {100, 70, 80, 450};
    look.dateWidthStored = true; // as it is once read back
    {
        IniFile ini(path());
        writeListFile(ini, look, {u"/a/日本.txt"_s, u"/b c.txt"_s});
    }
    EXPECT_EQ(stored(), QByteArray("[List]\r\nFont=Test Face\r\nFontSize=12\r\nFontColor=255\r\n"
                                   "Color=65280\r\nItems0Width=100\r\nItems1Width=70\r\n"
                                   "Items2Width=80\r\nItems3Width=450\r\nCount=2\r\n"
                                   "Item0=/a/\x93\xfa\x96\x7b.txt\r\nItem1=/b c.txt\r\n"));
    const ListFileContents back = read();
    EXPECT_EQ(back.look, look);
    EXPECT_EQ(back.paths, (QStringList{u"/a/日本.txt"_s, u"/b c.txt"_s}));

    // A path with characters code page 932 lacks comes back whole.
    const QStringList wide{u"/home/zoë/café.txt"_s, u"/简体/文件.txt"_s};
    {
        IniFile ini(path());
        writeListFile(ini, look, wide);
    }
    EXPECT_EQ(read().paths, wide);
}

TEST_F(ListFileTest, AShorterListLeavesStaleKeysAndOtherKeysInPlace) {
    store("; mine\r\n[List]\r\nCount=5\r\nItem0=/0\r\nItem1=/1\r\nItem2=/2\r\nItem3=/3\r\n"
          "Item4=/4\r\nMine=kept\r\n[Other]\r\nx=1\r\n");
    {
        IniFile ini(path());
        writeListFile(ini, ListLook(), {u"/new0"_s, u"/new1"_s});
    }
    EXPECT_EQ(stored(),
              QByteArray("; mine\r\n[List]\r\nCount=2\r\nItem0=/new0\r\nItem1=/new1\r\n"
                         "Item2=/2\r\nItem3=/3\r\nItem4=/4\r\nMine=kept\r\n"
                         "Font=\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e\r\n"
                         "FontSize=9\r\nFontColor=0\r\nColor=16777215\r\n"
                         "Items0Width=250\r\nItems1Width=60\r\nItems2Width=92\r\n"
                         "Items3Width=800\r\n[Other]\r\nx=1\r\n"));
    EXPECT_EQ(read().paths, (QStringList{u"/new0"_s, u"/new1"_s}));
}

TEST_F(ListFileTest, CountAndEntryKeysAsTheFileHoldsThem) {
    struct Case {
        const char* section; // the lines after [List]
        QStringList paths;
    };
    const QString non = u"non"_s;
    const Case cases[] = {
        {"", {}},
        // A gap reads as "non", which is then reported as missing, once.
        {"Count=3\r\nItem0=/a\r\nItem2=/c\r\n", {u"/a"_s, non, u"/c"_s}},
        // A huge Count stops after the last entry key there is; so does a short file.
        {"Count=2147483647\r\nItem0=/a\r\nItem1=/b\r\n", {u"/a"_s, u"/b"_s}},
        {"Count=5\r\nItem0=/a\r\n", {u"/a"_s}},
        // Keys past Count are never read.
        {"Count=1\r\nItem0=/a\r\nItem1=/b\r\n", {u"/a"_s}},
        // A negative, empty or unreadable Count is 0.
        {"Count=-3\r\nItem0=/a\r\n", {}},
        {"Count=lots\r\nItem0=/a\r\n", {}},
        {"Count=\r\nItem0=/a\r\n", {}},
        {"Item0=/a\r\n", {}},
        // Keys are matched as every read matches them: letter case aside, blanks and
        // quotes stripped, the first of a repeated key; "Item01" is not position 1.
        {"Count=3\r\n ITEM1 = '/b' \r\nitem0=/a\r\nItem0=/x\r\nItem01=/y\r\nItem=/z\r\n",
         {u"/a"_s, u"/b"_s}},
        {"Count=2\r\nItem0=\r\nItem1=/b\r\n", {QString(), u"/b"_s}},
    };
    for (const Case& c : cases) {
        store(QByteArray("[List]\r\n") + c.section);
        EXPECT_EQ(read().paths, c.paths) << c.section;
    }
}

TEST_F(ListFileTest, MissingFileAndKeysGiveTheDefaultLook) {
    EXPECT_EQ(read().look, ListLook());
    EXPECT_TRUE(read().paths.isEmpty());
    store("[List]\r\nFontSize=big\r\nItems3Width=10\r\n");
    ListLook expected;
    expected.columnWidths[3] = 10;
    EXPECT_EQ(read().look, expected);
    // The date column's width counts as stored only as a number.
    store("[List]\r\nItems1Width=wide\r\n");
    EXPECT_FALSE(read().look.dateWidthStored);
    store("[List]\r\nItems1Width=60\r\n");
    EXPECT_TRUE(read().look.dateWidthStored);
    EXPECT_EQ(ListLook().font, u"ＭＳ Ｐゴシック"_s);
    EXPECT_EQ(ListLook().columnWidths, (std::array<int, 4>{250, 60, 92, 800}));
}

TEST_F(ListFileTest, FileListStateKeysAndDefaults) {
    const QString fallback = u"/prog/default.QelL"_s;
    {
        const IniFile ini(path());
        EXPECT_EQ(readFileListState(ini, fallback), (FileListState{false, fallback}));
    }
    store("[FileList]\r\nTop=1\r\nVisible=2\r\n");
    {
        IniFile ini(path());
        EXPECT_EQ(readFileListState(ini, fallback), (FileListState{true, fallback}));
        writeFileListState(ini, {false, u"/x/新規リスト"_s});
    }
    EXPECT_EQ(stored(), QByteArray("[FileList]\r\nTop=1\r\nVisible=0\r\n"
                                   "UseListFile=/x/\x90\x56\x8b\x4b\x83\x8a\x83\x58\x83\x67\r\n"));
}

} // namespace
} // namespace qel

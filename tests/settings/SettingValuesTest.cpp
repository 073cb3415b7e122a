#include "settings/SettingValues.h"
#include "settings/ProgramFolder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace qel {
namespace {

QFont styled(bool bold, bool italic, bool underline = false, bool strikeOut = false) {
    QFont f;
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    return f;
}

TEST(FontStyleName, NamesEachStyleAndRestoresIt) {
    struct Case {
        bool bold;
        bool italic;
        const char16_t* name;
    };
    const Case cases[] = {{false, false, u"Normal"},
                          {true, false, u"Bold"},
                          {false, true, u"Italic"},
                          {true, true, u"ItalicBold"}};
    for (const Case& c : cases) {
        // Underline and strike-out are not part of the stored name...
        EXPECT_EQ(fontStyleName(styled(c.bold, c.italic, true, true)), QStringView(c.name));
        // ...and a stored name clears them.
        QFont f = styled(!c.bold, !c.italic, true, true);
        EXPECT_TRUE(applyFontStyleName(f, c.name));
        EXPECT_EQ(f.bold(), c.bold);
        EXPECT_EQ(f.italic(), c.italic);
        EXPECT_FALSE(f.underline());
        EXPECT_FALSE(f.strikeOut());
    }
}

TEST(FontStyleName, UnknownNamesLeaveTheFontAlone) {
    for (const char16_t* name : {u"bold", u"ITALIC", u"BoldItalic", u"", u" Bold", u"Normal "}) {
        QFont f = styled(true, false, true, false);
        EXPECT_FALSE(applyFontStyleName(f, name));
        EXPECT_TRUE(f.bold());
        EXPECT_FALSE(f.italic());
        EXPECT_TRUE(f.underline());
    }
}

TEST(ColorValue, RedInTheLowBitsBlueInTheHigh) {
    EXPECT_EQ(colorValue(QColor(Qt::white)), 16777215);
    EXPECT_EQ(colorValue(QColor(Qt::black)), 0);
    EXPECT_EQ(colorValue(QColor(255, 0, 0)), 0x0000FF);
    EXPECT_EQ(colorValue(QColor(0, 0, 255)), 0xFF0000);
    EXPECT_EQ(colorValue(QColor(1, 2, 3)), 0x030201);

    const QColor fallback(10, 20, 30);
    EXPECT_EQ(colorFromValue(0x030201, fallback), QColor(1, 2, 3));
    EXPECT_EQ(colorFromValue(16777215, fallback), QColor(Qt::white));
    EXPECT_EQ(colorFromValue(0, fallback), QColor(Qt::black));
    EXPECT_EQ(colorFromValue(16777216, fallback), fallback);
    EXPECT_EQ(colorFromValue(-1, fallback), fallback);
}

TEST(PathParts, SplitAtTheLastSeparator) {
    EXPECT_EQ(extractFilePath(u"/home/user/notes.txt"), QStringLiteral("/home/user/"));
    EXPECT_EQ(extractFileName(u"/home/user/notes.txt"), QStringLiteral("notes.txt"));
    EXPECT_EQ(extractFilePath(u"notes.txt"), QString());
    EXPECT_EQ(extractFileName(u"notes.txt"), QStringLiteral("notes.txt"));
    EXPECT_EQ(extractFilePath(u"/home/user/"), QStringLiteral("/home/user/"));
    EXPECT_EQ(extractFileName(u"/home/user/"), QString());
    EXPECT_EQ(extractFilePath(u"/"), QStringLiteral("/"));
    EXPECT_EQ(extractFileName(u"メモ/日記.txt"), QStringLiteral("日記.txt"));
#ifdef Q_OS_WIN
    EXPECT_EQ(extractFilePath(u"C:\\Users\\me\\a.ini"), QStringLiteral("C:\\Users\\me\\"));
    EXPECT_EQ(extractFileName(u"C:a.ini"), QStringLiteral("a.ini"));
#else
    EXPECT_EQ(extractFileName(u"dir\\a.ini"), QStringLiteral("dir\\a.ini"));
#endif
}

TEST(ProgramFolder, OverrideAndFallbackEndWithASeparator) {
    setProgramFolder(QStringLiteral("/tmp/settings-here"));
    EXPECT_EQ(programFolder(), QStringLiteral("/tmp/settings-here/"));
    setProgramFolder(QStringLiteral("/tmp/settings-here/"));
    EXPECT_EQ(programFolder(), QStringLiteral("/tmp/settings-here/"));

    // No application object in this test program: the current folder stands in.
    setProgramFolder(QString());
    EXPECT_EQ(programFolder(), QDir::currentPath() + u'/');
}

} // namespace
} // namespace qel

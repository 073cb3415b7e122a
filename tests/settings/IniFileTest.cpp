#include "settings/IniFile.h"
#include "../TestPrinters.h"
#include "settings/FileContent.h"
#include "settings/SettingValues.h"
#include "text/Error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <string_view>

using namespace std::string_view_literals;

namespace qel {
namespace {

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("settings.ini")) const {
        return dir_.filePath(name);
    }
    void store(const QByteArray& content, const QString& name = QStringLiteral("settings.ini")) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }
    QByteArray stored(const QString& name = QStringLiteral("settings.ini")) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Writes K=1 into section S of the file `name`; whether that could be stored.
    bool commitTo(const QString& name) {
        IniFile ini(path(name));
        ini.writeInteger(u"S", u"K", 1);
        return ini.commit();
    }
    // Opens the file, writes one string and lets the object go: the bytes that result.
    QByteArray afterWrite(const QByteArray& before, QStringView section, QStringView key,
                          const QString& value) {
        store(before);
        {
            IniFile ini(path());
            ini.writeString(section, key, value);
        }
        return stored();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, SavedWindowAndEditorSettingsHaveTheExactBytes) {
    {
        IniFile ini(path());
        ini.writeInteger(u"Form", u"Top", 200);
        ini.writeInteger(u"Form", u"Left", 200);
        ini.writeInteger(u"Form", u"Height", 175);
        ini.writeInteger(u"Form", u"Width", 250);
        ini.writeString(u"Form", u"WindowName", QStringLiteral("SubWindow1"));
        ini.writeBool(u"Form", u"StayOnTop", false);
        ini.writeBool(u"Form", u"Visible", true);
        ini.writeString(u"Editor", u"Font", QStringLiteral("ＭＳ ゴシック"));
        ini.writeString(u"Editor", u"FontStyle", fontStyleName(QFont()));
        ini.writeInteger(u"Editor", u"FontSize", 10);
        ini.writeInteger(u"Editor", u"FontColor", colorValue(QColor(Qt::black)));
        ini.writeInteger(u"Editor", u"BackColor", colorValue(QColor(Qt::white)));
    }
    EXPECT_EQ(stored(), bytes("[Form]\r\nTop=200\r\nLeft=200\r\nHeight=175\r\nWidth=250\r\n"
                              "WindowName=SubWindow1\r\nStayOnTop=0\r\nVisible=1\r\n"
                              "[Editor]\r\n"
                              "Font=\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
                              "FontStyle=Normal\r\nFontSize=10\r\nFontColor=0\r\n"
                              "BackColor=16777215\r\n"sv));

    const IniFile again(path());
    EXPECT_EQ(again.readString(u"Editor", u"Font", {}), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(again.readInteger(u"Form", u"Height", 0), 175);
    EXPECT_TRUE(again.readBool(u"Form", u"Visible", false));
    EXPECT_FALSE(again.readBool(u"Form", u"StayOnTop", true));
}

TEST_F(IniFileTest, NamesMatchWithoutLetterCase) {
    store(bytes("[form]\r\ntop=5\r\n"sv));
    {
        IniFile ini(path());
        EXPECT_EQ(ini.readInteger(u"FORM", u"Top", 0), 5);
        EXPECT_TRUE(ini.hasKey(u"Form", u"TOP"));
        ini.writeInteger(u"Form", u"Top", 6);
    }
    // The key line takes the writer's spelling; the section header is not touched.
    EXPECT_EQ(stored(), bytes("[form]\r\nTop=6\r\n"sv));
}

TEST_F(IniFileTest, BlanksQuotesAndEqualSignsInValues) {
    store(bytes("[S]\r\n"
                "  Name  =  two  words  \r\n"
                "\tTab\t=\tx\t\r\n"
                "Double=\"quoted\"\r\n"
                "Single=' padded '\r\n"
                "Mixed=\"a'\r\n"
                "Lone=\"\r\n"
                "Pair=''\r\n"
                "Nested=\"\"x\"\"\r\n"
                "Expr=a=b==c\r\n"
                "Wide=\x81\x40x\x81\x40\r\n"
                "Empty=\r\n"
                "Blank=   \r\n"
                "[ Spaced ]\r\n"
                "k=v\r\n"sv));
    const IniFile ini(path());
    const QString none = QStringLiteral("<default>");
    EXPECT_EQ(ini.readString(u"S", u"Name", none), QStringLiteral("two  words"));
    EXPECT_EQ(ini.readString(u"S", u"Tab", none), QStringLiteral("x"));
    EXPECT_EQ(ini.readString(u"S", u"Double", none), QStringLiteral("quoted"));
    EXPECT_EQ(ini.readString(u"S", u"Single", none), QStringLiteral(" padded "));
    EXPECT_EQ(ini.readString(u"S", u"Mixed", none), QStringLiteral("\"a'"));
    EXPECT_EQ(ini.readString(u"S", u"Lone", none), QStringLiteral("\""));
    EXPECT_EQ(ini.readString(u"S", u"Pair", none), QString());
    EXPECT_EQ(ini.readString(u"S", u"Nested", none), QStringLiteral("\"x\""));
    EXPECT_EQ(ini.readString(u"S", u"Expr", none), QStringLiteral("a=b==c"));
    // An ideographic space is text, not a blank.
    EXPECT_EQ(ini.readString(u"S", u"Wide", none), QStringLiteral("\u3000x\u3000"));
    EXPECT_EQ(ini.readString(u"Spaced", u"k", none), QStringLiteral("v"));
    // An empty value is an empty string but not a number.
    EXPECT_EQ(ini.readString(u"S", u"Empty", none), QString());
    EXPECT_EQ(ini.readString(u"S", u"Blank", none), QString());
    EXPECT_TRUE(ini.hasKey(u"S", u"Empty"));
    EXPECT_EQ(ini.readInteger(u"S", u"Empty", 42), 42);
    EXPECT_EQ(ini.readString(u"S", u"Absent", none), none);
    EXPECT_FALSE(ini.hasKey(u"S", u"Absent"));
}

TEST_F(IniFileTest, IntegersAndBooleansAcceptOnlySigned32BitDecimal) {
    struct Case {
        std::string_view text;
        int expected; // the default is 42
    };
    const Case cases[] = {
        {"+5", 5},
        {" 7 ", 7},
        {"-12", -12},
        {"007", 7},
        {"'9'", 9},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 42},
        {"-2147483649", 42},
        {"99999999999999999999", 42},
        {"word", 42},
        {"", 42},
        {"12abc", 42},
        {"0x10", 42},
        {"1.5", 42},
        {"1 000", 42},
        {"+-1", 42},
        {"-", 42},
        {"\x82\x50", 42}, // full-width digit one
    };
    QByteArray content = "[N]\r\n";
    for (int i = 0; i < int(std::size(cases)); ++i)
        content += "K" + QByteArray::number(i) + "=" + bytes(cases[i].text) + "\r\n";
    content += "[B]\r\nZero=0\r\nTwo=2\r\nMinus=-1\r\nYes=yes\r\n";
    store(content);

    const IniFile ini(path());
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(ini.readInteger(u"N", QString(u'K' + QString::number(i)), 42), cases[i].expected)
            << "value \"" << cases[i].text << "\"";
    EXPECT_FALSE(ini.readBool(u"B", u"Zero", true));
    EXPECT_TRUE(ini.readBool(u"B", u"Two", false));
    EXPECT_TRUE(ini.readBool(u"B", u"Minus", false));
    EXPECT_TRUE(ini.readBool(u"B", u"Yes", true));
    EXPECT_FALSE(ini.readBool(u"B", u"Yes", false));
}

TEST_F(IniFileTest, FirstOfDuplicatedSectionsAndKeysWins) {
    const QByteArray before = bytes("[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\nonly=4\r\n"sv);
    store(before);
    {
        const IniFile ini(path());
        EXPECT_EQ(ini.readInteger(u"A", u"k", 0), 1);
        EXPECT_EQ(ini.readInteger(u"A", u"only", 0), 0);
    }
    EXPECT_EQ(afterWrite(before, u"a", u"K", QStringLiteral("9")),
              bytes("[A]\r\nK=9\r\nK=2\r\n[a]\r\nk=3\r\nonly=4\r\n"sv));
}

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherLine) {
    const QByteArray before = bytes("; written by hand\r\n"
                                    "[Form]\n"
                                    "Top = 100 \r\n"
                                    "garbage line\r"
                                    "Left=3\r\n"
                                    "[Other]\r\n"
                                    "Top=1"sv);
    EXPECT_EQ(afterWrite(before, u"Form", u"Top", QStringLiteral("200")),
              bytes("; written by hand\r\n"
                    "[Form]\n"
                    "Top=200\r\n"
                    "garbage line\r"
                    "Left=3\r\n"
                    "[Other]\r\n"
                    "Top=1"sv));
}

TEST_F(IniFileTest, NewKeysEndTheirSectionAndNewSectionsTheFile) {
    const QByteArray before =
        bytes("[A]\r\nx=1\r\n; note\r\nno equal sign\r\n\r\n[B]\r\ny=2\r\n"sv);
    EXPECT_EQ(afterWrite(before, u"a", u"z", QStringLiteral("3")),
              bytes("[A]\r\nx=1\r\nz=3\r\n; note\r\nno equal sign\r\n\r\n[B]\r\ny=2\r\n"sv));
    // A section without entries takes it right after its header.
    EXPECT_EQ(afterWrite(bytes("[A]\r\n\r\n[B]\r\n"sv), u"A", u"z", QStringLiteral("3")),
              bytes("[A]\r\nz=3\r\n\r\n[B]\r\n"sv));
    // A new section goes at the end without a blank line.
    EXPECT_EQ(afterWrite(bytes("[A]\r\nx=1\r\n"sv), u"B", u"y", QStringLiteral("2")),
              bytes("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"sv));
    // A last line without a line break gets one before the new lines.
    EXPECT_EQ(afterWrite(bytes("[A]\r\nx=1"sv), u"B", u"y", QStringLiteral("2")),
              bytes("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"sv));
    EXPECT_EQ(afterWrite(QByteArray(), u"B", u"y", QStringLiteral("2")), bytes("[B]\r\ny=2\r\n"sv));
}

TEST_F(IniFileTest, ManyKeysAtOnceEndAsWrittenOneByOne) {
    using Pairs = std::vector<std::pair<QString, QString>>;
    struct Case {
        std::string_view before;
        Pairs values;
    };
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    const Case cases[] = {
        {"", {{s("a"), s("1")}, {s("b"), s("2")}}},
        // Present keys are replaced in place, new ones follow the last entry in order,
        // before the blank and unknown lines that close the section.
        {"[L]\r\nb=old\r\n; note\r\n\r\n[M]\r\nb=x\r\n",
         {{s("A"), s("1")}, {s("B"), s("2")}, {s("c"), s("3")}}},
        {"[l]\r\n[M]\r\n", {{s("k"), s("v")}}},
        {"[M]\r\nx=1", {{s("k"), s("v")}, {s("j"), s("w")}}},
        // A key given twice ends with its last value; a duplicated key in the file
        // changes on its first line only.
        {"[L]\r\nk=1\r\nK=2\r\n",
         {{s("k"), s("a")}, {s("n"), s("b")}, {s("K"), s("c")}, {s("N"), s("d")}}},
        {"[L]\r\nk=1\r\n", {{s("k"), s("1")}}},
        {"[L]\r\nk=1\r\n", {{s("x"), s("line\nbreak")}}},
    };
    for (const Case& c : cases) {
        const QByteArray before = bytes(c.before);
        store(before, QStringLiteral("one.ini"));
        store(before, QStringLiteral("many.ini"));
        {
            IniFile one(path(QStringLiteral("one.ini")));
            for (const auto& [key, value] : c.values)
                one.writeString(u"L", key, value);
            IniFile many(path(QStringLiteral("many.ini")));
            many.writeStrings(u"L", c.values);
        }
        EXPECT_EQ(stored(QStringLiteral("many.ini")), stored(QStringLiteral("one.ini")))
            << "before: " << c.before;
    }
}

TEST_F(IniFileTest, EntriesOfASectionAsTheReadsSeeThem) {
    store(bytes("[L]\r\n k = 'v' \r\n; note\r\nK=2\r\n[M]\r\nm=3\r\n[l]\r\nz=4\r\n"sv));
    const IniFile ini(path());
    const std::vector<IniFile::Entry> entries = ini.entries(u"l");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, QStringLiteral("k"));
    EXPECT_EQ(entries[0].value, QStringLiteral("v"));
    EXPECT_EQ(entries[1].key, QStringLiteral("K"));
    EXPECT_EQ(entries[1].value, QStringLiteral("2"));
    EXPECT_TRUE(ini.entries(u"absent").empty());
}

TEST_F(IniFileTest, UnknownLinesAndUndecodableBytesSurviveAWrite) {
    // NUL bytes, bytes that are not code page 932, a lead byte cut off by the line
    // break, and line breaks of every kind.
    const QByteArray unknown = bytes("\x00\x01 binary \xFF\xA0\x80\r\n"
                                     "[Odd\x81]\r\n"
                                     "key\x00=\xFD\xFE\n"
                                     "cut \x81\r"
                                     "[Keep]\r\n"
                                     "Value=\x82\xA0\x81\r\n"sv);
    const QByteArray before = unknown + "[Set]\r\nOld=1\r\n";
    EXPECT_EQ(afterWrite(before, u"Set", u"Old", QStringLiteral("2")),
              unknown + "[Set]\r\nOld=2\r\n");
    EXPECT_EQ(afterWrite(before, u"New", u"k", QStringLiteral("v")), before + "[New]\r\nk=v\r\n");
}

// A file stays code page 932 while everything fits; a value code page 932 lacks makes
// it UTF-8 behind a byte-order mark, so that nothing stored turns into "?".
TEST_F(IniFileTest, AValueCodePage932LacksMakesTheFileUtf8) {
    const QByteArray bom = "\xEF\xBB\xBF";
    const auto utf8 = [&](const char16_t* text) -> QByteArray {
        return bom + QString::fromUtf16(text).toUtf8();
    };
    struct Case {
        const char* what;
        QByteArray before;
        const char16_t* key;
        const char16_t* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"a new file", "", u"Main", u"/home/josé/DefaultMain.QelW",
         utf8(u"[S]\r\nMain=/home/josé/DefaultMain.QelW\r\n")},
        {"beyond the basic plane", "", u"Name", u"絵😀", utf8(u"[S]\r\nName=絵😀\r\n")},
        {"every line of a code page 932 file goes over",
         "; \x82\xA0\r\n[S]\r\nName=\x93\xfa\x96\x7b\r\n", u"Main", u"josé",
         utf8(u"; あ\r\n[S]\r\nName=日本\r\nMain=josé\r\n")},
        {"a UTF-8 file stays so while a value needs it", utf8(u"; あ\n[S]\nMain=josé\n"), u"Name",
         u"x", utf8(u"; あ\n[S]\nMain=josé\nName=x\r\n")},
        {"and goes back to code page 932 once everything fits",
         utf8(u"; あ\r\n[S]\r\nMain=josé\r\n"), u"Main", u"jose",
         "; \x82\xA0\r\n[S]\r\nMain=jose\r\n"},
        {"bytes that are no UTF-8 survive", bom + "; \xFF\xC3\r\n[S]\r\nMain=é\r\n", u"Main", u"è",
         bom + "; \xFF\xC3\r\n[S]\r\nMain=\xC3\xA8\r\n"},
        {"bytes that are no code page 932 survive going over to UTF-8",
         "; \xFF\xE0 \x80\r\n[S]\r\n", u"Main", u"josé",
         bom + "; \xFF\xE0 \x80\r\n[S]\r\nMain=jos\xC3\xA9\r\n"},
        {"and coming back", bom + "; \xFF\xE0 \x80\r\n[S]\r\nMain=josé\r\n", u"Main", u"jose",
         "; \xFF\xE0 \x80\r\n[S]\r\nMain=jose\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString value = QString::fromUtf16(c.value);
        EXPECT_EQ(afterWrite(c.before, u"S", QStringView(c.key), value), c.after);
        EXPECT_EQ(IniFile(path()).readString(u"S", QStringView(c.key), QString()), value);
    }
    // A code page 932 file that only gets values that fit stays as it is.
    EXPECT_EQ(afterWrite("[S]\r\n", u"S", u"Name", QStringLiteral("日本")),
              QByteArray("[S]\r\nName=\x93\xfa\x96\x7b\r\n"));
}

TEST_F(IniFileTest, LineBreaksInWrittenValuesBecomeSpacesAndLongValuesStayWhole) {
    {
        IniFile ini(path());
        ini.writeString(u"S", u"Text", QStringLiteral("a\r\nb\nc\rd\n"));
        ini.writeString(u"S", u"After", QStringLiteral("x"));
        // What was written reads back at once, as a later load would see it.
        EXPECT_EQ(ini.readString(u"S", u"Text", {}), QStringLiteral("a b c d"));
    }
    EXPECT_EQ(stored(), bytes("[S]\r\nText=a b c d \r\nAfter=x\r\n"sv));

    // Long values make the round trip whole.
    const QString value = QString(300000, u'あ') + QStringLiteral("=end");
    EXPECT_EQ(afterWrite(QByteArray(), u"S", u"Long", value).size(), 3 + 2 + 5 + 600000 + 4 + 2);
    EXPECT_EQ(IniFile(path()).readString(u"S", u"Long", {}), value);
}

TEST_F(IniFileTest, FilesThatCannotBeUnderstoodGiveDefaults) {
    QByteArray hugeLine(5 * 1024 * 1024, 'x');
    hugeLine.prepend("[S]\r\n");
    struct Case {
        const char* name;
        QByteArray content;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"nul bytes", bytes("[S]\x00\r\nK\x00=1\r\n\x00\x00\x00"sv)},
        {"invalid bytes", bytes("\xFF\xFE\x80[S]\r\nK=\r\n\x81"sv)},
        {"no equal sign", bytes("[S]\r\nK 1\r\nK\r\n"sv)},
        {"no section", bytes("K=1\r\n"sv)},
        {"5 MB line", hugeLine},
    };
    for (const Case& c : cases) {
        store(c.content);
        const IniFile ini(path());
        EXPECT_EQ(ini.readInteger(u"S", u"K", 7), 7) << c.name;
        EXPECT_EQ(ini.readString(u"S", u"K", QStringLiteral("d")), QStringLiteral("d")) << c.name;
    }

    const IniFile missing(path(QStringLiteral("missing.ini")));
    EXPECT_EQ(missing.readInteger(u"S", u"K", 7), 7);

    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.ini")));
    const IniFile folder(path(QStringLiteral("folder.ini")));
    EXPECT_EQ(folder.readString(u"S", u"K", QStringLiteral("d")), QStringLiteral("d"));
}

TEST_F(IniFileTest, TheFileIsWrittenOnceAndOnlyWhenSomethingChanged) {
    {
        const IniFile ini(path());
        EXPECT_EQ(ini.readInteger(u"S", u"K", 1), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(path()));

    // Writing what is already there changes nothing either.
    const QByteArray before = bytes("[S]\nK=1\nName=x\n"sv);
    store(before);
    const QDateTime old = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    {
        IniFile ini(path());
        ini.writeInteger(u"S", u"K", 1);
        ini.writeString(u"S", u"Name", QStringLiteral("x"));
        EXPECT_TRUE(ini.commit());
    }
    EXPECT_EQ(QFileInfo(path()).lastModified().toUTC(), old);
    EXPECT_EQ(stored(), before);

    // Written at commit; when something else replaces the file afterwards, the object
    // has nothing left to write.
    {
        IniFile ini(path());
        ini.writeInteger(u"S", u"K", 2);
        EXPECT_TRUE(ini.commit());
        EXPECT_EQ(stored(), bytes("[S]\nK=2\r\nName=x\n"sv));
        store("changed elsewhere");
    }
    EXPECT_EQ(stored(), QByteArray("changed elsewhere"));
}

TEST_F(IniFileTest, UnwritableTargetsLeaveWhatWasThere) {
    // A folder in the file's place, a regular file in its folder's place, no folder.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.ini")));
    store("inner", QStringLiteral("folder.ini/inner.txt"));
    store("plain", QStringLiteral("plain"));
    EXPECT_FALSE(commitTo(QStringLiteral("folder.ini")));
    EXPECT_FALSE(commitTo(QStringLiteral("plain/settings.ini")));
    EXPECT_FALSE(commitTo(QStringLiteral("no/such/settings.ini")));
    EXPECT_EQ(stored(QStringLiteral("folder.ini/inner.txt")), QByteArray("inner"));
    EXPECT_EQ(stored(QStringLiteral("plain")), QByteArray("plain"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));

#ifdef Q_OS_UNIX
    // A pipe is neither waited on nor replaced.
    const QByteArray fifo = QFile::encodeName(path());
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    {
        IniFile ini(path()); // opening a pipe for reading would wait for a writer
        EXPECT_EQ(ini.readInteger(u"S", u"K", 7), 7);
        ini.writeInteger(u"S", u"K", 1);
        EXPECT_FALSE(ini.commit());
    }
    struct stat info {};
    ASSERT_EQ(stat(fifo.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
#endif
}

// Files the program leaves alone read as empty, are never written over, and a save
// the user asked for says which file and why.
TEST_F(IniFileTest, FilesLeftAloneReadAsEmptyAndASaveSaysWhy) {
    const QByteArray settings("[S]\r\nK=1\r\n");
    // Over the limit: a real settings file at its start, then padding (sparse on disk).
    store(settings, QStringLiteral("huge.ini"));
    {
        QFile huge(path(QStringLiteral("huge.ini")));
        ASSERT_TRUE(huge.resize(kSettingsFileSizeLimit + 1));
    }
    store(settings, QStringLiteral("cut"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.ini")));
    struct Case {
        const char* name;
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {"over 64 MB", path(QStringLiteral("huge.ini")),
         QStringLiteral("設定ファイルとしては大きすぎます（64 MB を超えています）")},
        // The system would take these as the file "cut".
        {"NUL", path(QStringLiteral("cut")) + QChar(0) + u"more.ini", unusablePathMessage()},
        {"line feed", path(QStringLiteral("cut")) + u"\nmore.ini", unusablePathMessage()},
        {"empty", QString(), unusablePathMessage()},
        {"a folder", path(QStringLiteral("folder.ini")),
         QStringLiteral("通常のファイルではありません")},
    };
    for (const Case& c : cases) {
        IniFile ini(c.path);
        EXPECT_EQ(ini.readInteger(u"S", u"K", 7), 7) << c.name;
        ini.writeInteger(u"S", u"K", 2);
        QString message;
        try {
            ini.save();
        } catch (const Error& e) {
            message = e.message();
        }
        EXPECT_EQ(message, c.path + u"に書き込めませんでした。\n" + c.reason) << c.name;
        EXPECT_FALSE(ini.commit()) << c.name;
    }
    EXPECT_EQ(QFileInfo(path(QStringLiteral("huge.ini"))).size(), kSettingsFileSizeLimit + 1);
    EXPECT_EQ(stored(QStringLiteral("huge.ini")).left(settings.size()), settings);
    EXPECT_EQ(stored(QStringLiteral("cut")), settings);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("cut"), QStringLiteral("folder.ini"),
                           QStringLiteral("huge.ini")}));
    // Documents are read and written through the same check.
    const QString cut = path(QStringLiteral("cut")) + QChar(0);
    EXPECT_THROW(readRegularFile(cut), Error);
    EXPECT_THROW(writeWholeFile(cut, "x"), Error);
    EXPECT_EQ(stored(QStringLiteral("cut")), settings);

    // The system's own reason for a folder that is not there.
    IniFile nowhere(path(QStringLiteral("no/such.ini")));
    nowhere.writeInteger(u"S", u"K", 1);
    try {
        nowhere.save();
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(nowhere.path() + u"に書き込めませんでした。\n"));
        EXPECT_GT(e.message().size(), nowhere.path().size() + 14);
    }
}

TEST_F(IniFileTest, SettingsAreSavedWhenTheOperationEndsByAnException) {
    store("[S]\r\nK=1\r\n");
    try {
        IniFile ini(path());
        ini.writeInteger(u"S", u"K", 2);
        throw std::runtime_error("save interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(stored(), QByteArray("[S]\r\nK=2\r\n"));
}

} // namespace
} // namespace qel

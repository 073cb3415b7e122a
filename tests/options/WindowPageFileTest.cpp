// Window pages written to and read from window settings files: the stored bytes and
// their order, the defaults, font style names, StayOnTop values and place texts.
#include "options/WindowPageFile.h"
#include "../TestPrinters.h"
#include "datetime/DateTimeFormatSettings.h"
#include "settings/IniFile.h"
#include "text/Cp932.h"
#include "text/Error.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

class WindowPageFileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(u"page.QelW"_s); }
    QByteArray stored() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void store(const QString& text) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cp932::encode(text));
    }
    void write(int window, const WindowPage& page) {
        IniFile file(path());
        writeWindowPage(file, window, page, DateTimeFormatSettings{});
    }
    WindowPage read(int window, WindowPage page) {
        readWindowPage(IniFile(path()), window, page);
        return page;
    }
    static WindowPage samplePage() {
        WindowPage p;
        p.name = u"メモ=1"_s;
        p.look.font = QFont(u"Test Face"_s);
        p.look.font.setPointSize(14);
        p.look.font.setBold(true);
        p.look.text = QColor(255, 0, 0);
        p.look.background = QColor(0, 0, 255);
        p.width = u"250"_s;
        p.height = u"175"_s;
        p.left = u"-8"_s;
        p.top = u"200"_s;
        p.shown = true;
        p.onTop = true;
        return p;
    }

    QTemporaryDir dir_;
};

TEST_F(WindowPageFileTest, SubWindowPageHasTheSubWindowsKeysInTheirOrder) {
    write(2, samplePage());
    EXPECT_EQ(stored(), "[Form]\r\nTop=200\r\nLeft=-8\r\nHeight=175\r\nWidth=250\r\n"
                        "WindowName=" +
                            cp932::encode(u"メモ=1") +
                            "\r\nStayOnTop=3\r\nVisible=1\r\n"
                            "[Editor]\r\nFont=Test Face\r\nFontStyle=Bold\r\nFontSize=14\r\n"
                            "FontColor=255\r\nBackColor=16711680\r\n");
    const WindowPage back = read(2, WindowPage{});
    EXPECT_EQ(back.name, u"メモ=1"_s);
    EXPECT_EQ(back.look.font.family(), u"Test Face"_s);
    EXPECT_EQ(back.look.font.pointSize(), 14);
    EXPECT_TRUE(back.look.font.bold() && !back.look.font.italic());
    EXPECT_EQ(back.look.text, QColor(255, 0, 0));
    EXPECT_EQ(back.look.background, QColor(0, 0, 255));
    EXPECT_EQ(windowSizeText(back), u"：幅　250，高さ　175"_s);
    EXPECT_EQ(windowPositionText(back), u"：x　-8，y　200"_s);
    EXPECT_TRUE(back.shown && back.onTop);
}

TEST_F(WindowPageFileTest, MainPageWritesTheDateFormatButNotTheBarsAndKeepsOtherKeys) {
    store(u"[Visible]\nToolBar=0\n[Form]\nWidth=1\nExtra=kept\n"_s);
    DateTimeFormatSettings dateTime;
    dateTime.yearItem = u"ggge"_s;
    dateTime.monthNumbering = 2;
    {
        IniFile file(path());
        writeWindowPage(file, 0, samplePage(), dateTime);
    }
    EXPECT_EQ(stored(), "[Visible]\r\nToolBar=0\r\n"
                        "[Form]\r\nWidth=250\r\nExtra=kept\r\nTop=200\r\nLeft=-8\r\nHeight=175\r\n"
                        "WindowName=" +
                            cp932::encode(u"メモ=1") +
                            "\r\n[Editor]\r\nFont=Test Face\r\nFontStyle=Bold\r\nFontSize=14\r\n"
                            "FontColor=255\r\nBackColor=16711680\r\n"
                            "[Date&TimeFormat]\r\nYO=ggge\r\nMO=mm\r\nDO=dd\r\n"
                            "DNO='('aaa')'\r\nOO=hh\r\nMiO=nn\r\nSO=ss\r\nCredit=0\r\nAMPM=4\r\n"
                            "MonthNumberring=2\r\nDayNames=0\r\nDateSortType=0\r\n"
                            "DateTimeSortType=0\r\n"
                            "DateFormat=[yyyy'-'mm'-'dd'('aaa')']\r\nTimeFormat=[hh:nnAM/PM]\r\n"
                            "Date&TimeFormat=[yyyy'-'mm'-'dd'('aaa')' hh:nnAM/PM]\r\n");
    // The main page has no shown or on-top state, and reads no date format.
    const WindowPage back = read(0, WindowPage{});
    EXPECT_FALSE(back.shown || back.onTop);
}

TEST_F(WindowPageFileTest, MissingFileGivesThePageDefaultsAndKeepsThePlaceTexts) {
    WindowPage before = samplePage();
    before.look.font.setUnderline(true);
    for (int window = 0; window < kWindowCount; ++window) {
        const WindowPage p = read(window, before);
        EXPECT_EQ(p.name, window == 0 ? u"QelEditor"_s : u"SubWindow%1"_s.arg(window));
        EXPECT_EQ(p.look.font.family(), u"ＭＳ　ゴシック"_s); // with an ideographic space
        EXPECT_EQ(p.look.font.pointSize(), 10);
        EXPECT_FALSE(p.look.font.bold() || p.look.font.italic() || p.look.font.underline());
        EXPECT_EQ(p.look.text, QColor(Qt::black));
        EXPECT_EQ(p.look.background, QColor(Qt::white));
        EXPECT_EQ(windowSizeText(p), u"：幅　250，高さ　175"_s);
        EXPECT_EQ(windowPositionText(p), u"：x　-8，y　200"_s);
        // A sub-window page is shown and ordinary by default; the main page keeps its
        // values, which it does not use.
        EXPECT_EQ(p.shown, true);
        EXPECT_EQ(p.onTop, window == 0);
    }
}

TEST_F(WindowPageFileTest, FontStyleNamesAndStayOnTopValues) {
    // The style a page already has: italic, not bold.
    WindowPage italic;
    italic.look.font.setItalic(true);
    const struct {
        const char16_t* stored;
        bool bold, italic;
    } styles[] = {
        {u"Normal", false, false},    {u"Bold", true, false}, {u"Italic", false, true},
        {u"ItalicBold", true, true},  {u"bold", false, true}, {u"BOLD", false, true},
        {u"BoldItalic", false, true},
    };
    for (const auto& s : styles) {
        store(u"[Editor]\nFontStyle="_s + s.stored + u"\n");
        const WindowPage p = read(1, italic);
        EXPECT_EQ(p.look.font.bold(), s.bold) << QString::fromUtf16(s.stored).toStdString();
        EXPECT_EQ(p.look.font.italic(), s.italic) << QString::fromUtf16(s.stored).toStdString();
    }

    // Whatever the page showed before, a stored value decides; only 3 is on top, as
    // for the sub-window itself.
    const struct {
        const char16_t* stored;
        bool onTop;
    } values[] = {{u"0", false},  {u"3", true},  {u"1", false}, {u"2", false},
                  {u"-3", false}, {u"03", true}, {u"x", false}};
    for (bool before : {false, true}) {
        WindowPage page;
        page.onTop = before;
        for (const auto& v : values) {
            store(u"[Form]\nStayOnTop="_s + v.stored + u"\n");
            EXPECT_EQ(read(3, page).onTop, v.onTop) << QString::fromUtf16(v.stored).toStdString();
        }
    }
}

TEST_F(WindowPageFileTest, PlaceTextsTravelUnconvertedUntilWritten) {
    store(u"[Form]\nTop=12\nLeft=abc\nHeight= 7 \nWidth=\n"_s);
    WindowPage page = read(1, samplePage());
    EXPECT_EQ(windowPositionText(page), u"：x　abc，y　12"_s);
    EXPECT_EQ(windowSizeText(page), u"：幅　，高さ　7"_s);

    // Writing stops at the first text that is no integer; Top is written before it.
    QFile::remove(path());
    try {
        write(1, page);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), u"「abc」は有効な整数値ではありません。"_s);
    }
    EXPECT_EQ(stored(), QByteArray("[Form]\r\nTop=12\r\n"));

    for (const char16_t* text : {u"", u"1.5", u"2147483648", u"0x10", u"１２"}) {
        page = samplePage();
        page.height = QString::fromUtf16(text);
        EXPECT_THROW(write(1, page), Error) << QString::fromUtf16(text).toStdString();
    }
    page.height = u"-2147483648"_s;
    EXPECT_NO_THROW(write(1, page));
}

} // namespace
} // namespace qel

// Recognition and conversion of files in other encodings, case by case: what makes a
// file code page 932 as it always was, what makes it something else, and what the
// user keeps of it when it is converted.
#include "text/Encoding.h"
#include "../TestPrinters.h"
#include "EncodingPrinters.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel::encoding {
namespace {

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray out;
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
        out.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return out;
}

QByteArray cp932Of(const QString& text) {
    return cp932::encode(text);
}

// EUC-JP and ISO-2022-JP of a few words, written out by hand.
const QByteArray kEucMeetingRoom =
    "\xB2\xF1\xB5\xC4\xBC\xBC\xA4\xCE\xCD\xBD\xCC\xF3";        // 会議室の予約
const QByteArray kIsoMeetingRoom = "\x1B$B2q5D<<$NM=Ls\x1B(B"; // 会議室の予約

struct RecognitionCase {
    const char* what;
    QByteArray bytes;
    Encoding expected;
    bool wholeFile = true;
};

TEST(EncodingRecognition, WhatEachFileIsTakenFor) {
    const QByteArray asciiStart(kRecognitionBytes, 'a');
    const QByteArray utf8Long = QString(kRecognitionBytes, u'あ').toUtf8(); // 3 bytes each
    const QByteArray cp932Long = QByteArray("x") + cp932Of(QString(kRecognitionBytes, u'あ'));
    const RecognitionCase cases[] = {
        // Code page 932, as it always was.
        {"an empty file", {}, Encoding::Cp932},
        {"ASCII", "Hello, world.\r\n", Encoding::Cp932},
        {"ASCII with an escape sequence for colour", "\x1B[31mred\x1B[0m\n", Encoding::Cp932},
        {"Japanese", cp932Of(u"日本語のテキストです。\n全角ＡＢＣと半角ｶﾅ。"_s), Encoding::Cp932},
        {"NEC and IBM characters", cp932Of(u"①㈱髙橋 山﨑"_s), Encoding::Cp932},
        {"a half-width word in brackets", cp932Of(u"（ﾃｽﾄ）"_s), Encoding::Cp932},
        // Half-width katakana alone is, byte for byte, also EUC-JP kanji.
        {"half-width katakana", cp932Of(u"ｵﾂｶﾚｻﾏﾃﾞｼﾀ"_s), Encoding::Cp932},
        {"a lead byte where the start is cut off", cp932Long.first(kRecognitionBytes),
         Encoding::Cp932, false},
        {"Latin-1",
         "caf\xE9 cr\xE8me, Gr\xFC\xDF"
         "e\n",
         Encoding::Cp932},
        {"16-bit numbers, zero bytes on one side",
         QByteArray("\x34\x12\x01\x00\x78\x56\x02\x00", 8), Encoding::Cp932},
        {"binary data",
         QByteArray("\x7F"
                    "ELF\x02\x01\x01\x00\x00\x00\x03\x00>\x00",
                    14),
         Encoding::Cp932},
        // A file that is mostly UTF-8 with a line of code page 932 in it: already in
        // two encodings, it loads as it always did.
        {"UTF-8 with a line of code page 932", u"日本語\n"_s.toUtf8() + cp932Of(u"日本語\n"_s),
         Encoding::Cp932},
        {"UTF-8 only after the part looked at", asciiStart + u"日本語"_s.toUtf8(), Encoding::Cp932},

        // Byte-order marks decide.
        {"a UTF-8 mark alone", "\xEF\xBB\xBF", Encoding::Utf8},
        {"a UTF-8 mark and ASCII", "\xEF\xBB\xBFplain", Encoding::Utf8},
        {"a UTF-16LE mark", "\xFF\xFE" + utf16(u"a"_s, true), Encoding::Utf16LE},
        {"a UTF-16BE mark", "\xFE\xFF" + utf16(u"a"_s, false), Encoding::Utf16BE},

        // What the bytes are valid in and read well as.
        {"UTF-8 that code page 932 also decodes", u"こんにちは"_s.toUtf8(), Encoding::Utf8},
        {"UTF-8 with a wave dash", u"10時〜12時"_s.toUtf8(), Encoding::Utf8},
        {"UTF-8 cut off in a character", utf8Long.first(kRecognitionBytes), Encoding::Utf8, false},
        {"EUC-JP", kEucMeetingRoom, Encoding::EucJp},
        {"EUC-JP hiragana", "\xA4\xA2\xA4\xA4", Encoding::EucJp}, // あい
        {"ISO-2022-JP", kIsoMeetingRoom, Encoding::Iso2022Jp},
        {"UTF-16LE without a mark", utf16(u"メモ: test\n"_s, true), Encoding::Utf16LE},
        {"UTF-16BE without a mark", utf16(u"メモ: test\n"_s, false), Encoding::Utf16BE},
        {"UTF-16LE without a mark or ASCII", utf16(u"論文の仕様"_s, true), Encoding::Utf16LE},
    };
    for (const RecognitionCase& c : cases)
        EXPECT_EQ(recognise(c.bytes, c.wholeFile).encoding, c.expected) << c.what;
}

TEST(EncodingRecognition, MarksAndTheStartOnly) {
    EXPECT_EQ(recognise("\xEF\xBB\xBF", true), (Recognition{Encoding::Utf8, true, 100}));
    EXPECT_EQ(recognise(cp932Of(u"日本語"_s), true), Recognition{});
    // Nothing past the part looked at counts.
    const QByteArray start = QByteArray(kRecognitionBytes, 'a');
    EXPECT_EQ(recognise(QByteArray(start + "\xFF\xFE"), true),
              recognise(QByteArray(start + u"あ"_s.toUtf8()), true));
}

struct ConversionCase {
    const char* what;
    Encoding from;
    QByteArray bytes;
    QString text;
    qsizetype lost;
    QStringList firstLost;
};

TEST(EncodingConversion, WhatTheUserGets) {
    const ConversionCase cases[] = {
        {"line breaks and a mark",
         Encoding::Utf8,
         "\xEF\xBB\xBF"
         "a\r\nb\rc\n",
         u"a\nb\nc\n"_s,
         0,
         {}},
        {"JIS forms",
         Encoding::Utf8,
         u"10時〜12時、−5℃、‖¢£¬—"_s.toUtf8(),
         u"10時～12時、－5℃、∥￠￡￢―"_s,
         0,
         {}},
        {"characters code page 932 lacks",
         Encoding::Utf8,
         u"😀 café 😀 é ✓ 한 简 •"_s.toUtf8(),
         u"? caf? ? ? ? ? ? ?"_s,
         8,
         {u"😀"_s, u"é"_s, u"✓"_s, u"한"_s, u"简"_s}},
        {"broken UTF-8",
         Encoding::Utf8,
         "a\xFF"
         "b\xE3\x81",
         u"a?b?"_s,
         2,
         {u"\uFFFD"_s}},
        {"UTF-16LE with a lone surrogate",
         Encoding::Utf16LE,
         "\xFF\xFE" + utf16(u"x"_s, true) + QByteArray("\x00\xD8", 2) + utf16(u"y"_s, true),
         u"x?y"_s,
         1,
         {u"\uFFFD"_s}},
        {"UTF-16BE",
         Encoding::Utf16BE,
         "\xFE\xFF" + utf16(u"日本\r\n"_s, false),
         u"日本\n"_s,
         0,
         {}},
        {"EUC-JP", Encoding::EucJp, kEucMeetingRoom + "\n\xA1\xC1", u"会議室の予約\n～"_s, 0, {}},
        {"EUC-JP half-width katakana", Encoding::EucJp, "\x8E\xB1\x8E\xB2", u"ｱｲ"_s, 0, {}},
        {"broken EUC-JP", Encoding::EucJp, "\xB2\xF1\xB5", u"会?"_s, 1, {u"\uFFFD"_s}},
        {"ISO-2022-JP", Encoding::Iso2022Jp, kIsoMeetingRoom + "\r\n", u"会議室の予約\n"_s, 0, {}},
    };
    for (const ConversionCase& c : cases) {
        const Converted converted = convertToCp932(c.bytes, c.from);
        EXPECT_EQ(converted.text, c.text) << c.what;
        EXPECT_EQ(converted.lost, c.lost) << c.what;
        EXPECT_EQ(converted.firstLost, c.firstLost) << c.what;
        // Fit for the editor as it is: nothing more changes as it enters.
        EXPECT_EQ(cp932::toRepresentable(converted.text), converted.text) << c.what;
    }
}

} // namespace
} // namespace qel::encoding

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Files that are not code page 932: recognising them from their first bytes, and
// converting them into text code page 932 can hold.
namespace qel::encoding {

enum class Encoding { Cp932, Utf8, Utf16LE, Utf16BE, EucJp, Iso2022Jp };

// The name the user is shown: "UTF-8", "EUC-JP", "シフトJIS"...
QString displayName(Encoding encoding);

// Recognition looks at no more than this many bytes from the start of a file.
inline constexpr qsizetype kRecognitionBytes = 64 * 1024;
// ICU's charset detector gives 10 to an encoding the bytes merely fit; what it finds
// in Japanese text in another encoding scores 70 and more, and code page 932 text
// never scores above 10 for any of them.
inline constexpr int kMinimumConfidence = 50;

struct Recognition {
    Encoding encoding = Encoding::Cp932;
    bool byteOrderMark = false;
    // ICU's (below the threshold when the bytes alone showed the encoding), 100 for a
    // byte-order mark, 0 for code page 932.
    int confidence = 0;
    friend bool operator==(const Recognition&, const Recognition&) = default;
};

// What the start of a file is written in. `start` is the file's first bytes (only the
// first kRecognitionBytes are looked at); `wholeFile` says that nothing follows them,
// so that a character cut off at the end counts against an encoding.
//
// A UTF-8 or UTF-16 byte-order mark decides. Otherwise the bytes are code page 932
// when they are clean code page 932 text (see isCleanCp932), and another encoding
// only when they are valid in it, read in it as text (no control codes but tab, line
// breaks and form feed, no private-use characters), and either ICU's detector gives
// it `minimumConfidence` or more, or the bytes show it where the detector cannot
// tell: EUC-JP with too few characters for the detector's statistics; UTF-16 by the
// zero bytes of its ASCII characters lying on one side, or, without ASCII, by every
// character being Japanese, kana among them.
Recognition recognise(QByteArrayView start, bool wholeFile,
                      int minimumConfidence = kMinimumConfidence);

// True when the bytes are code page 932 text as it is written: every byte decodes,
// none is zero, no ISO-2022-JP escape sequence or user-defined character occurs,
// half-width katakana does not alternate with double-byte characters as it does when
// EUC-JP or UTF-8 is read as code page 932, and the bytes are not also UTF-8 with
// multi-byte characters (which code page 932 text practically never is). ASCII is
// clean code page 932.
bool isCleanCp932(QByteArrayView start, bool wholeFile);

// A file's text as code page 932 can hold it.
struct Converted {
    QString text;          // line breaks '\n', every character representable
    qsizetype lost = 0;    // characters that became "?"
    QStringList firstLost; // the first few of them, each once, as they were
};
inline constexpr int kFirstLostShown = 5;

// Converts the whole file from `from`: a byte-order mark is dropped; CR LF and CR
// become '\n'; the JIS forms of the wave dash and its kin ("〜" U+301C, "−" U+2212,
// "‖", "¢", "£", "¬", "—") become the code page 932 forms of the same characters;
// every other character code page 932 lacks, and every byte sequence not valid in
// `from`, becomes "?". `from` must not be Cp932.
Converted convertToCp932(QByteArrayView bytes, Encoding from);

} // namespace qel::encoding

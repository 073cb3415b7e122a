#include "Encoding.h"

#include "Cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace qel::encoding {
namespace {

using ConverterPtr = std::unique_ptr<UConverter, void (*)(UConverter*)>;

struct Candidate {
    Encoding encoding;
    const char* icuName; // as ICU's converters and detector name it
};
// In the order that decides between candidates of equal confidence.
constexpr std::array<Candidate, 5> kCandidates{{
    {Encoding::Utf8, "UTF-8"},
    {Encoding::Iso2022Jp, "ISO-2022-JP"},
    {Encoding::Utf16LE, "UTF-16LE"},
    {Encoding::Utf16BE, "UTF-16BE"},
    {Encoding::EucJp, "EUC-JP"},
}};

const char* icuName(Encoding encoding) {
    for (const Candidate& c : kCandidates)
        if (c.encoding == encoding)
            return c.icuName;
    return nullptr;
}

ConverterPtr openConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status), ucnv_close);
    if (U_FAILURE(status))
        converter.reset();
    return converter;
}

// The start of a file as recognition sees it: at most kRecognitionBytes, and no
// longer the whole file when more follows.
struct Start {
    QByteArrayView bytes;
    bool wholeFile;
};
Start startOf(QByteArrayView bytes, bool wholeFile) {
    if (bytes.size() <= kRecognitionBytes)
        return {bytes, wholeFile};
    return {bytes.first(kRecognitionBytes), false};
}

unsigned char byteAt(QByteArrayView bytes, qsizetype i) {
    return static_cast<unsigned char>(bytes[i]);
}

// Byte-order marks.
std::optional<Encoding> markedEncoding(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Encoding::Utf8;
    if (bytes.startsWith("\xFF\xFE"))
        return Encoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return Encoding::Utf16BE;
    return std::nullopt;
}
qsizetype markLength(Encoding encoding) {
    return encoding == Encoding::Utf8 ? 3 : 2;
}

// Well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF)
// holding at least one multi-byte character. A character cut off at the end is
// forgiven when more of the file follows.
bool isMultiByteUtf8(Start start) {
    const QByteArrayView b = start.bytes;
    const qsizetype n = b.size();
    bool multiByte = false;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char lead = byteAt(b, i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        unsigned char low = 0x80, high = 0xBF; // range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            if (i + k >= n)
                return !start.wholeFile && multiByte;
            const unsigned char c = byteAt(b, i + k);
            if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF))
                return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isHalfWidthKatakana(char16_t c) {
    return c >= 0xFF61 && c <= 0xFF9F;
}
bool isPrivateUse(char16_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

// Text as ICU reads it in `name`, stopping at the first byte sequence that is not
// valid there (or has no character); nullopt then.
std::optional<QString> readStrictly(Start start, const char* name) {
    ConverterPtr converter = openConverter(name);
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    // None of these encodings makes more UTF-16 code units than it reads bytes.
    QString text(start.bytes.size() + 4, Qt::Uninitialized);
    UChar* target = reinterpret_cast<UChar*>(text.data());
    UChar* const begin = target;
    const char* source = start.bytes.data();
    ucnv_toUnicode(converter.get(), &target, begin + text.size(), &source,
                   source + start.bytes.size(), nullptr, start.wholeFile, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.resize(target - begin);
    return text;
}

// Text, not data: no control codes but tab, line breaks and form feed, nothing from
// the private use area, no non-character.
bool readsAsText(QStringView text) {
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f')
            return false;
        if ((c >= 0x7F && c <= 0x9F) || isPrivateUse(c) || c >= 0xFFFE)
            return false;
    }
    return true;
}

qsizetype nonAsciiCount(QStringView text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
}

bool isKana(QChar ch) {
    return ch.unicode() >= 0x3041 && ch.unicode() <= 0x30FF;
}
// Kana, kanji, Japanese punctuation and full-width forms.
bool isJapanese(QChar ch) {
    const char16_t c = ch.unicode();
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// ICU's mbcs recognisers give their no-evidence 10 when a text has this many
// double-byte characters or fewer.
constexpr qsizetype kTooFewForStatistics = 10;

// What the bytes show of an encoding where the detector cannot tell.
bool bytesShow(Encoding encoding, QByteArrayView bytes, QStringView reading) {
    switch (encoding) {
    case Encoding::EucJp:
        return nonAsciiCount(reading) <= kTooFewForStatistics;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        // An ASCII character has its zero byte second in little-endian order.
        qsizetype even = 0, odd = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\0')
                ++(i % 2 ? odd : even);
        if (even + odd == 0) // no ASCII at all: Japanese through and through
            return std::all_of(reading.begin(), reading.end(), isJapanese) &&
                   std::any_of(reading.begin(), reading.end(), isKana);
        const qsizetype onItsSide = encoding == Encoding::Utf16LE ? odd : even;
        const qsizetype onTheOther = encoding == Encoding::Utf16LE ? even : odd;
        return onItsSide > 0 && onItsSide >= 4 * onTheOther;
    }
    default:
        return false;
    }
}

// UTF-16 code units of kana, kanji, Japanese punctuation and full-width forms only.
bool isJapaneseUtf16(Start start, bool littleEndian) {
    const QByteArrayView b = start.bytes;
    if (b.isEmpty() || (b.size() % 2 && start.wholeFile))
        return false;
    for (qsizetype i = 0; i + 1 < b.size(); i += 2) {
        const char16_t first = byteAt(b, i), second = byteAt(b, i + 1);
        if (!isJapanese(QChar(littleEndian ? char16_t(second << 8 | first)
                                           : char16_t(first << 8 | second))))
            return false;
    }
    return true;
}

// Whether the bytes may be valid in `encoding`, with characters beyond ASCII, and
// read there as text: what can be told without ICU.
bool mayBe(Encoding encoding, Start start) {
    const QByteArrayView b = start.bytes;
    const auto any = [&](auto test) {
        return std::any_of(b.begin(), b.end(), [&](char c) { return test(uchar(c)); });
    };
    switch (encoding) {
    case Encoding::Utf8:
        return isMultiByteUtf8(start);
    case Encoding::Iso2022Jp:
        return b.contains('\x1B') && !any([](uchar c) { return c >= 0x80; });
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        return b.contains('\0') || isJapaneseUtf16(start, encoding == Encoding::Utf16LE);
    case Encoding::EucJp:
        // Beyond ASCII only 0xA1-0xFE, and 0x8E and 0x8F before them.
        return !any([](uchar c) { return c >= 0x80 && c <= 0xA0 && c != 0x8E && c != 0x8F; });
    case Encoding::Cp932:
        break;
    }
    return false;
}

// ICU's confidence in each candidate.
std::array<int, kCandidates.size()> detectorConfidences(QByteArrayView bytes) {
    std::array<int, kCandidates.size()> confidences{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector*)> detector(ucsdet_open(&status),
                                                                            ucsdet_close);
    if (U_FAILURE(status))
        return confidences;
    ucsdet_setText(detector.get(), bytes.data(), int32_t(bytes.size()), &status);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &found, &status);
    if (U_FAILURE(status))
        return confidences;
    for (int32_t m = 0; m < found; ++m) {
        UErrorCode s = U_ZERO_ERROR;
        const char* name = ucsdet_getName(matches[m], &s);
        const int confidence = ucsdet_getConfidence(matches[m], &s);
        if (U_FAILURE(s))
            continue;
        for (std::size_t c = 0; c < kCandidates.size(); ++c)
            if (qstrcmp(name, kCandidates[c].icuName) == 0)
                confidences[c] = std::max(confidences[c], confidence);
    }
    return confidences;
}

// The JIS forms that other encodings give for characters code page 932 has under
// another code point.
char16_t cp932Form(char16_t c) {
    switch (c) {
    case 0x301C:
        return 0xFF5E; // 〜 wave dash
    case 0x2212:
        return 0xFF0D; // − minus sign
    case 0x2016:
        return 0x2225; // ‖ double vertical line
    case 0x00A2:
        return 0xFFE0; // ¢
    case 0x00A3:
        return 0xFFE1; // £
    case 0x00AC:
        return 0xFFE2; // ¬
    case 0x2014:
        return 0x2015; // — em dash, the JIS horizontal bar
    default:
        return c;
    }
}

// Writes U+FFFD for every byte sequence the converter cannot read.
void substituteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*,
                                    int32_t, UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR)
        return; // reset, close, clone
    *status = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

QString toUnicode(QByteArrayView bytes, const char* name) {
    ConverterPtr converter = openConverter(name);
    if (!converter)
        return QString(bytes.size() ? 1 : 0, QChar(0xFFFD));
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), substituteReplacementCharacter, nullptr, nullptr, nullptr,
                        &status);
    QString text(bytes.size() + 16, Qt::Uninitialized);
    qsizetype written = 0;
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    for (;;) {
        UChar* const begin = reinterpret_cast<UChar*>(text.data());
        UChar* target = begin + written;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.get(), &target, begin + text.size(), &source, sourceEnd, nullptr,
                       true, &status);
        written = target - begin;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        text.resize(text.size() * 2);
    }
    text.resize(written);
    return text;
}

} // namespace

QString displayName(Encoding encoding) {
    switch (encoding) {
    case Encoding::Cp932:
        return QStringLiteral("シフトJIS");
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf16LE:
        return QStringLiteral("UTF-16 (リトルエンディアン)");
    case Encoding::Utf16BE:
        return QStringLiteral("UTF-16 (ビッグエンディアン)");
    case Encoding::EucJp:
        return QStringLiteral("EUC-JP");
    case Encoding::Iso2022Jp:
        return QStringLiteral("JIS (ISO-2022-JP)");
    }
    return QString();
}

bool isCleanCp932(QByteArrayView bytes, bool wholeFile) {
    const Start start = startOf(bytes, wholeFile);
    const QByteArrayView b = start.bytes;
    bool anyHighByte = false;
    for (qsizetype i = 0; i < b.size(); ++i) {
        const unsigned char c = byteAt(b, i);
        if (c == 0)
            return false;
        if (c == 0x1B && i + 1 < b.size() && b[i + 1] == '$')
            return false; // ISO-2022-JP switching to double-byte characters
        anyHighByte = anyHighByte || c >= 0x80;
    }
    if (!anyHighByte)
        return true;

    QStringView text;
    const QString decoded = cp932::decodeText(b);
    text = decoded;
    // A lead byte at the end of a start that is cut off has its trail byte after it.
    if (!start.wholeFile && !text.isEmpty() && cp932::isReserved(text.back().unicode()) &&
        isLeadByte(byteAt(b, b.size() - 1)))
        text.chop(1);

    const unsigned char* const lengths = cp932::byteLengthTable();
    qsizetype doubleByte = 0, halfWidth = 0, halfWidthPunctuation = 0, meetings = 0;
    enum class Kind { Other, Half, Double } previous = Kind::Other;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        Kind kind = Kind::Other;
        if (c < 0x80) {
            // ASCII
        } else if (isHalfWidthKatakana(c)) {
            kind = Kind::Half;
            ++halfWidth;
            if (c <= 0xFF65) // ｡｢｣､･
                ++halfWidthPunctuation;
        } else if (cp932::isReserved(c) || isPrivateUse(c)) {
            return false;
        } else if (lengths[c] == 2) {
            kind = Kind::Double;
            ++doubleByte;
        }
        if (kind != Kind::Other && previous != Kind::Other && kind != previous)
            ++meetings;
        previous = kind;
    }
    // EUC-JP and UTF-8 read as code page 932 come apart into half-width katakana and
    // double-byte characters side by side; real text has them meet now and then (a
    // half-width word in brackets).
    if (meetings > 0 && 4 * meetings >= doubleByte)
        return false;
    // EUC-JP hiragana, katakana and punctuation read as half-width katakana alone
    // bring the half-width punctuation ｡｢｣､･ every other character.
    if (doubleByte == 0 && halfWidthPunctuation > 0 && 4 * halfWidthPunctuation >= halfWidth)
        return false;
    return !isMultiByteUtf8(start);
}

Recognition recognise(QByteArrayView bytes, bool wholeFile, int minimumConfidence) {
    const Start start = startOf(bytes, wholeFile);
    if (const std::optional<Encoding> marked = markedEncoding(start.bytes))
        return {*marked, true, 100};
    if (isCleanCp932(start.bytes, start.wholeFile))
        return {};

    // Most of what is not clean code page 932 is code page 932 still, with a stray
    // byte: the detector is asked only when some candidate may fit.
    std::array<bool, kCandidates.size()> possible{};
    for (std::size_t c = 0; c < kCandidates.size(); ++c)
        possible[c] = mayBe(kCandidates[c].encoding, start);
    if (std::none_of(possible.begin(), possible.end(), [](bool p) { return p; }))
        return {};

    const auto confidences = detectorConfidences(start.bytes);
    Recognition best;
    for (std::size_t c = 0; c < kCandidates.size(); ++c) {
        const Candidate& candidate = kCandidates[c];
        const int confidence = confidences[c];
        if (!possible[c] || (best.encoding != Encoding::Cp932 && confidence <= best.confidence))
            continue;
        const std::optional<QString> reading = readStrictly(start, candidate.icuName);
        if (!reading || nonAsciiCount(*reading) == 0 || !readsAsText(*reading))
            continue;
        if (confidence < minimumConfidence && !bytesShow(candidate.encoding, start.bytes, *reading))
            continue;
        best = {candidate.encoding, false, confidence};
    }
    return best;
}

Converted convertToCp932(QByteArrayView bytes, Encoding from) {
    if (markedEncoding(bytes) == from)
        bytes = bytes.sliced(markLength(from));
    const QString raw = toUnicode(bytes, icuName(from));

    Converted out;
    out.text.reserve(raw.size());
    auto lose = [&](QStringView character) {
        out.text += u'?';
        ++out.lost;
        if (out.firstLost.size() < kFirstLostShown && !out.firstLost.contains(character))
            out.firstLost.append(character.toString());
    };
    const qsizetype n = raw.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = raw[i].unicode();
        if (c == u'\r') {
            out.text += u'\n';
            if (i + 1 < n && raw[i + 1] == u'\n')
                ++i;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && raw[i + 1].isLowSurrogate()) {
            lose(QStringView(raw).sliced(i, 2)); // code page 932 has nothing past U+FFFF
            ++i;
        } else if (const char16_t form = cp932Form(c);
                   // (A surrogate would pass for a byte kept from a code page 932 file;
                   // the converters give U+FFFD for half a pair.)
                   !QChar::isSurrogate(form) && cp932::isRepresentable(form)) {
            out.text += QChar(form);
        } else {
            lose(QStringView(raw).sliced(i, 1));
        }
    }
    return out;
}

} // namespace qel::encoding

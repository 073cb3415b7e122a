// Writes the code page 932 tables the program decodes and encodes with, as C++ source,
// to the file named by the first argument. They are taken from ICU's "windows-31j"
// converter at build time, round-trip mappings only, so that every entry survives
// encode and decode unchanged, and the program builds nothing at start-up.
#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr char16_t kNone = 0xFFFF;        // no character (U+FFFF is never a decode result)
constexpr std::uint16_t kNoCode = 0xFFFF; // no code (0xFF is not a lead byte)
constexpr char16_t kLead = 0xFFFE;        // single-byte table: the byte starts a double-byte code

constexpr char16_t reservedFor(unsigned char byte) {
    return char16_t(0xDC80 + byte);
}

struct Tables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(0x10000, kNone); // lead << 8 | trail
    std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000, kNoCode);
    std::vector<unsigned char> length = std::vector<unsigned char>(0x10000, 1);
    // Bit per double-byte code: the code decodes to a character whose default code is
    // another one (an NEC or IBM duplicate).
    std::vector<unsigned char> alternate = std::vector<unsigned char>(0x10000 / 8, 0);
};

bool build(Tables& t) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open("windows-31j", &status),
                                                            ucnv_close);
    if (U_FAILURE(status))
        return false;
    ucnv_setFallback(conv.get(), false);
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);

    auto toUnicode = [&](const char* bytes, int n) -> char16_t {
        UErrorCode err = U_ZERO_ERROR;
        UChar out[4];
        ucnv_resetToUnicode(conv.get());
        const int32_t len = ucnv_toUChars(conv.get(), out, 4, bytes, n, &err);
        return (U_SUCCESS(err) && len == 1) ? char16_t(out[0]) : kNone;
    };
    auto fromUnicode = [&](char16_t c) -> std::uint16_t {
        UErrorCode err = U_ZERO_ERROR;
        char out[8];
        const UChar in = c;
        ucnv_resetFromUnicode(conv.get());
        const int32_t len = ucnv_fromUChars(conv.get(), out, 8, &in, 1, &err);
        if (U_FAILURE(err))
            return kNoCode;
        if (len == 1)
            return std::uint16_t(static_cast<unsigned char>(out[0]));
        if (len == 2)
            return std::uint16_t(static_cast<unsigned char>(out[0]) << 8 |
                                 static_cast<unsigned char>(out[1]));
        return kNoCode;
    };

    // 0x00-0x7F is plain ASCII, as in Windows. ICU's converter behind this name swaps
    // 0x1A, 0x1C and 0x7F among the control codes the way IBM's tables do; that swap
    // is not taken over.
    for (int b = 0; b < 0x80; ++b) {
        t.single[b] = char16_t(b);
        t.code[b] = std::uint16_t(b);
    }
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        t.single[b] = toUnicode(&byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        bool anyPair = false;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char bytes[2] = {char(lead), char(trail)};
            const char16_t c = toUnicode(bytes, 2);
            if (c != kNone && c >= 0x80 && !(c >= 0xD800 && c <= 0xDFFF)) {
                t.pair[lead << 8 | trail] = c;
                anyPair = true;
            }
        }
        if (anyPair && t.single[lead] == kNone)
            t.single[lead] = kLead;
    }

    // The default code of each character: ICU's choice among its codes, kept only where
    // it decodes back to the same character.
    auto consider = [&](char16_t c, std::uint16_t decodedFrom) {
        if (t.code[c] != kNoCode || c == kNone || c == kLead)
            return;
        const std::uint16_t preferred = fromUnicode(c);
        const bool roundTrips =
            preferred >= 0x80 && preferred != kNoCode &&
            (preferred < 0x100 ? t.single[preferred] == c : t.pair[preferred] == c);
        t.code[c] = roundTrips ? preferred : decodedFrom;
    };
    for (int b = 0x80; b < 0x100; ++b)
        if (t.single[b] != kNone && t.single[b] != kLead)
            consider(t.single[b], std::uint16_t(b));
    for (int i = 0; i < 0x10000; ++i)
        if (t.pair[i] != kNone)
            consider(t.pair[i], std::uint16_t(i));

    // A byte that does not decode on its own comes back from its reserved code point.
    for (int b = 0x80; b < 0x100; ++b)
        if (t.single[b] == kNone || t.single[b] == kLead)
            t.code[reservedFor(static_cast<unsigned char>(b))] = std::uint16_t(b);

    for (int c = 0; c < 0x10000; ++c)
        t.length[c] = (t.code[c] != kNoCode && t.code[c] >= 0x100) ? 2 : 1;
    t.length['\n'] = 2;

    for (int i = 0; i < 0x10000; ++i)
        if (t.pair[i] != kNone && t.code[t.pair[i]] != i)
            t.alternate[i / 8] |= static_cast<unsigned char>(1 << (i % 8));
    return true;
}

template <typename T>
void write(std::FILE* out, const char* type, const char* name, const T* values, int count) {
    std::fprintf(out, "alignas(64) constexpr %s %s[%d] = {", type, name, count);
    for (int i = 0; i < count; ++i)
        std::fprintf(out, "%s0x%x,", i % 16 == 0 ? "\n" : "", unsigned(values[i]));
    std::fprintf(out, "\n};\n");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    Tables t;
    if (!build(t)) {
        std::fprintf(stderr, "ICU has no windows-31j converter\n");
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out)
        return 1;
    std::fprintf(out, "// Made at build time from ICU's windows-31j converter.\n");
    write(out, "char16_t", "kSingle", t.single.data(), 256);
    write(out, "char16_t", "kPair", t.pair.data(), 0x10000);
    write(out, "quint16", "kCode", t.code.data(), 0x10000);
    write(out, "unsigned char", "kLength", t.length.data(), 0x10000);
    write(out, "unsigned char", "kAlternate", t.alternate.data(), 0x10000 / 8);
    return std::fclose(out) == 0 ? 0 : 1;
}

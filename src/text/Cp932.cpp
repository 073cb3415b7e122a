#include "Cp932.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

namespace qel::cp932 {
namespace {

constexpr char16_t kNone = 0xFFFF;  // no character (U+FFFF is never a decode result)
constexpr quint16 kNoCode = 0xFFFF; // no code (0xFF is not a lead byte)
constexpr char16_t kLead = 0xFFFE;  // single-byte table: the byte starts a double-byte code

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Tables built once from ICU's "windows-31j" converter, round-trip mappings only, so
// that every table entry survives encode and decode unchanged.
struct Tables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(0x10000, kNone); // lead << 8 | trail
    std::vector<quint16> code = std::vector<quint16>(0x10000, kNoCode); // char -> code
    std::array<unsigned char, 0x10000> length{};                        // char -> bytes

    Tables() {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open("windows-31j", &status),
                                                                ucnv_close);
        if (U_FAILURE(status))
            throw std::runtime_error("ICU has no windows-31j converter");
        ucnv_setFallback(conv.get(), false);
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);

        auto toUnicode = [&](const char* bytes, int n) -> char16_t {
            UErrorCode err = U_ZERO_ERROR;
            UChar out[4];
            ucnv_resetToUnicode(conv.get());
            const int32_t len = ucnv_toUChars(conv.get(), out, 4, bytes, n, &err);
            return (U_SUCCESS(err) && len == 1) ? char16_t(out[0]) : kNone;
        };
        auto fromUnicode = [&](char16_t c) -> quint16 {
            UErrorCode err = U_ZERO_ERROR;
            char out[8];
            const UChar in = c;
            ucnv_resetFromUnicode(conv.get());
            const int32_t len = ucnv_fromUChars(conv.get(), out, 8, &in, 1, &err);
            if (U_FAILURE(err))
                return kNoCode;
            if (len == 1)
                return quint16(static_cast<unsigned char>(out[0]));
            if (len == 2)
                return quint16(static_cast<unsigned char>(out[0]) << 8 |
                               static_cast<unsigned char>(out[1]));
            return kNoCode;
        };

        // 0x00-0x7F is plain ASCII, as in Windows. ICU's converter behind this name
        // swaps 0x1A, 0x1C and 0x7F among the control codes the way IBM's tables do;
        // that swap is not taken over.
        for (int b = 0; b < 0x80; ++b) {
            single[b] = char16_t(b);
            code[b] = quint16(b);
        }
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = char(b);
            single[b] = toUnicode(&byte, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            bool anyPair = false;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const char16_t c = toUnicode(bytes, 2);
                if (c != kNone && c >= 0x80 && !(c >= 0xD800 && c <= 0xDFFF)) {
                    pair[lead << 8 | trail] = c;
                    anyPair = true;
                }
            }
            if (anyPair && single[lead] == kNone)
                single[lead] = kLead;
        }

        // The default code of each character: ICU's choice among its codes, kept only
        // where it decodes back to the same character.
        auto consider = [&](char16_t c, quint16 decodedFrom) {
            if (code[c] != kNoCode || c == kNone || c == kLead)
                return;
            const quint16 preferred = fromUnicode(c);
            const bool roundTrips =
                preferred >= 0x80 && preferred != kNoCode &&
                (preferred < 0x100 ? single[preferred] == c : pair[preferred] == c);
            code[c] = roundTrips ? preferred : decodedFrom;
        };
        for (int b = 0x80; b < 0x100; ++b)
            if (single[b] != kNone && single[b] != kLead)
                consider(single[b], quint16(b));
        for (int i = 0; i < 0x10000; ++i)
            if (pair[i] != kNone)
                consider(pair[i], quint16(i));

        // A byte that does not decode on its own comes back from its reserved code point.
        for (int b = 0x80; b < 0x100; ++b)
            if (single[b] == kNone || single[b] == kLead)
                code[reservedFor(static_cast<unsigned char>(b))] = quint16(b);

        for (int c = 0; c < 0x10000; ++c)
            length[c] = (code[c] != kNoCode && code[c] >= 0x100) ? 2 : 1;
        length['\n'] = 2;
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

template <bool WithAlternates>
void decodeInto(QByteArrayView bytes, QString& text, std::vector<AlternateForm>* alternates) {
    const Tables& t = tables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    text.resize(n); // never more characters than bytes
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    char16_t* const begin = out;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = in[i];
        if (b < 0x80 && b != '\r') {
            *out++ = b;
            ++i;
            continue;
        }
        if (b == '\r') {
            *out++ = u'\n';
            i += (i + 1 < n && in[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        const char16_t s = t.single[b];
        if (s == kLead && i + 1 < n) {
            const quint16 code = quint16(b << 8 | in[i + 1]);
            const char16_t c = t.pair[code];
            if (c != kNone) {
                if constexpr (WithAlternates) {
                    if (t.code[c] != code)
                        alternates->push_back({out - begin, code});
                }
                *out++ = c;
                i += 2;
                continue;
            }
        }
        *out++ = (s == kNone || s == kLead) ? reservedFor(b) : s;
        ++i;
    }
    text.resize(out - begin);
}

} // namespace

void adjustAlternates(std::vector<AlternateForm>& alternates, qsizetype position, qsizetype removed,
                      qsizetype added) {
    auto first =
        std::lower_bound(alternates.begin(), alternates.end(), position,
                         [](const AlternateForm& f, qsizetype p) { return f.position < p; });
    auto last =
        std::lower_bound(first, alternates.end(), position + removed,
                         [](const AlternateForm& f, qsizetype p) { return f.position < p; });
    const qsizetype delta = added - removed;
    for (auto it = last; it != alternates.end(); ++it)
        it->position += delta;
    alternates.erase(first, last);
}

Decoded decode(QByteArrayView bytes) {
    Decoded d;
    decodeInto<true>(bytes, d.text, &d.alternates);
    return d;
}

QString decodeText(QByteArrayView bytes) {
    QString text;
    decodeInto<false>(bytes, text, nullptr);
    return text;
}

QByteArray encode(QStringView text, std::span<const AlternateForm> alternates) {
    const Tables& t = tables();
    QByteArray out;
    out.resize(text.size() * 2);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    auto* const begin = o;
    const char16_t* in = text.utf16();
    const qsizetype n = text.size();
    auto nextAlternate = alternates.begin();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80 && c != '\n') {
            *o++ = static_cast<unsigned char>(c);
            continue;
        }
        if (c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
            continue;
        }
        quint16 code = t.code[c];
        if (nextAlternate != alternates.end()) {
            while (nextAlternate != alternates.end() && nextAlternate->position < i)
                ++nextAlternate;
            if (nextAlternate != alternates.end() && nextAlternate->position == i && c != kNone &&
                t.pair[nextAlternate->code] == c)
                code = nextAlternate->code;
        }
        if (code == kNoCode) {
            if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(in[i + 1]))
                ++i; // one "?" for the whole character
            *o++ = '?';
        } else if (code < 0x100) {
            *o++ = static_cast<unsigned char>(code);
        } else {
            *o++ = static_cast<unsigned char>(code >> 8);
            *o++ = static_cast<unsigned char>(code & 0xFF);
        }
    }
    out.resize(o - begin);
    return out;
}

bool isRepresentable(char16_t c) {
    // A CR is written as it is, but reads back as a line break.
    return c == '\n' || (c != '\r' && tables().code[c] != kNoCode);
}

QString toRepresentable(QStringView text) {
    const Tables& t = tables();
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\r') {
            out += u'\n';
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
        } else if (c == '\n' || t.code[c] != kNoCode) {
            out += QChar(c);
        } else {
            if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(text[i + 1].unicode()))
                ++i;
            out += u'?';
        }
    }
    return out;
}

int byteLength(char16_t c) {
    return tables().length[c];
}

const unsigned char* byteLengthTable() {
    return tables().length.data();
}

qsizetype byteLength(QStringView text) {
    return byteOffset(text, text.size());
}

qsizetype byteOffset(QStringView text, qsizetype position) {
    const Tables& t = tables();
    const char16_t* in = text.utf16();
    const qsizetype n = std::clamp<qsizetype>(position, 0, text.size());
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        bytes += t.length[c];
        // A surrogate pair is written as one "?".
        if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(in[i + 1]))
            ++i;
    }
    return bytes;
}

qsizetype charPosition(QStringView text, qsizetype offset) {
    const Tables& t = tables();
    const char16_t* in = text.utf16();
    const qsizetype n = text.size();
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        bytes += t.length[c];
        if (bytes > offset)
            return i;
        if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(in[i + 1]))
            ++i;
    }
    return n;
}

} // namespace qel::cp932

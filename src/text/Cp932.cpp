#include "Cp932.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#include "Cp932Tables.inc"

// The tables, made at build time (see tables/MakeCp932Tables.cpp).
struct Tables {
    const char16_t* single = kSingle;
    const char16_t* pair = kPair; // lead << 8 | trail
    const quint16* code = kCode;  // char -> its default code
    const unsigned char* length = kLength;
    // Whether a double-byte code is not the default code of the character it decodes
    // to (bit per code).
    bool isAlternate(quint16 code) const { return (kAlternate[code >> 3] >> (code & 7)) & 1; }
};

const Tables& tables() {
    static constexpr Tables t;
    return t;
}

#if defined(__SSE2__)
// Up to 16 bytes from `in` (16 may be read) that need no table: ASCII other than CR.
// They are widened into `out` (16 are written), and the line feeds among them
// counted. Returns how many there were.
inline int decodeAsciiRun(const unsigned char* in, char16_t* out, qsizetype& breaks) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
    const unsigned stop = unsigned(_mm_movemask_epi8(v)) |
                          unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))));
    const int n = stop ? __builtin_ctz(stop) : 16;
    // Line feeds are few: one at a time beats a population count without the
    // instruction for it.
    for (unsigned feeds =
             unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')))) & ((1u << n) - 1);
         feeds != 0; feeds &= feeds - 1)
        ++breaks;
    return n;
}
#endif

template <bool WithAlternates>
DecodedPiece decodeInto(QByteArrayView bytes, char16_t* const begin, bool last,
                        std::vector<AlternateForm>* alternates, qsizetype base) {
    const Tables& t = tables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    char16_t* out = begin;
    qsizetype breaks = 0;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = in[i];
        if (b < 0x80 && b != '\r') {
#if defined(__SSE2__)
            if (i + 16 <= n) {
                const int run = decodeAsciiRun(in + i, out, breaks);
                i += run;
                out += run;
                continue;
            }
#endif
            breaks += b == '\n';
            *out++ = b;
            ++i;
            continue;
        }
        if (b == '\r') {
            if (i + 1 == n && !last)
                break; // its line feed may follow
            *out++ = u'\n';
            ++breaks;
            i += (i + 1 < n && in[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        const char16_t s = t.single[b];
        if (s == kLead) {
            if (i + 1 == n) {
                if (!last)
                    break; // its trail byte may follow
            } else {
                quint16 code = quint16(b << 8 | in[i + 1]);
                char16_t c = t.pair[code];
                if (c != kNone) {
                    // A run of double-byte characters, as Japanese text has them. Only
                    // a lead byte has pairs, so the run ends at anything else.
                    for (;;) {
                        if constexpr (WithAlternates) {
                            if (t.isAlternate(code))
                                alternates->push_back({base + (out - begin), code});
                        }
                        *out++ = c;
                        i += 2;
                        if (i + 1 >= n)
                            break;
                        code = quint16(in[i] << 8 | in[i + 1]);
                        c = t.pair[code];
                        if (c == kNone)
                            break;
                    }
                    continue;
                }
            }
        }
        *out++ = (s == kNone || s == kLead) ? reservedFor(b) : s;
        ++i;
    }
    return {i, out - begin, breaks};
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

DecodedPiece decodePiece(QByteArrayView bytes, char16_t* out, bool last,
                         std::vector<AlternateForm>& alternates, qsizetype base) {
    return decodeInto<true>(bytes, out, last, &alternates, base);
}

Decoded decode(QByteArrayView bytes) {
    Decoded d;
    d.text.resize(bytes.size()); // never more characters than bytes
    const DecodedPiece piece =
        decodeInto<true>(bytes, reinterpret_cast<char16_t*>(d.text.data()), true, &d.alternates, 0);
    d.text.resize(piece.chars);
    return d;
}

QString decodeText(QByteArrayView bytes) {
    QString text;
    text.resize(bytes.size());
    const DecodedPiece piece =
        decodeInto<false>(bytes, reinterpret_cast<char16_t*>(text.data()), true, nullptr, 0);
    text.resize(piece.chars);
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
    return tables().length;
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

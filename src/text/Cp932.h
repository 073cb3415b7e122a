#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

// Code page 932 (Shift-JIS as Windows writes it) at the boundaries of the program:
// documents, settings files and the byte measures shown to the user.
//
// Text inside the program is a QString whose line breaks are '\n'. On the byte side a
// line break is CR LF and counts two bytes.
//
// Decoding never fails and never loses a byte: a byte that is not valid code page 932
// becomes the reserved code point U+DC80 + byte, which encodes back to that byte.
// Some characters have more than one code (the NEC and IBM extension duplicates); the
// codes a document used for them are reported as alternate forms so that the encoder
// can write the document back exactly as it was read.
namespace qel::cp932 {

// A character at `position` (an index into the decoded text) that the bytes held in a
// code other than the one the encoder writes for it by default.
struct AlternateForm {
    qsizetype position = 0;
    quint16 code = 0; // lead byte << 8 | trail byte
    friend bool operator==(const AlternateForm&, const AlternateForm&) = default;
};

struct Decoded {
    QString text;
    std::vector<AlternateForm> alternates; // sorted by position
};

// Keeps alternate forms in step with an edit of the text they belong to: `removed`
// characters at `position` were replaced by `added` ones. Forms inside the removed
// range are dropped, forms after it move.
void adjustAlternates(std::vector<AlternateForm>& alternates, qsizetype position, qsizetype removed,
                      qsizetype added);

// Decodes bytes; CR LF, a lone CR and a lone LF all become '\n'.
Decoded decode(QByteArrayView bytes);

// Decoding a file a piece at a time, or several stretches of it at once.
//
// decodePiece() decodes `bytes` into `out`, which has room for bytes.size()
// characters, and appends the alternate forms it meets to `alternates`, their
// positions counted from `base`. Unless the piece is the `last` one, a CR or a lead
// byte at its very end is left for the next piece, which may hold its line feed or
// trail byte: `consumed` says how many bytes were decoded. `breaks` counts the line
// breaks written.
struct DecodedPiece {
    qsizetype consumed = 0;
    qsizetype chars = 0;
    qsizetype breaks = 0;
};
DecodedPiece decodePiece(QByteArrayView bytes, char16_t* out, bool last,
                         std::vector<AlternateForm>& alternates, qsizetype base);
// Whether a character always ends after byte `b`, whatever comes before it and after
// it, so that the bytes on either side decode apart as they do together: true for
// 0x00-0x3F but CR (a trail byte is 0x40 or more, a line feed or such a byte never
// joins what follows it).
constexpr bool endsCharacter(unsigned char b) {
    return b < 0x40 && b != '\r';
}
// Same as decode(), when the alternate forms do not matter.
QString decodeText(QByteArrayView bytes);

// Encodes text; '\n' becomes CR LF, a character code page 932 cannot represent becomes
// "?" (one per character). Where `alternates` names a position whose character is
// still the one that code decodes to, that code is written instead of the default one.
QByteArray encode(QStringView text, std::span<const AlternateForm> alternates = {});

// The reserved code point for an undecodable byte, and the test for one. Only the bytes
// that never decode on their own have one: 0x80, 0xA0, 0xFD-0xFF and the lead bytes
// 0x81-0x9F and 0xE0-0xFC (a lead byte is undecodable when no valid trail follows it).
// A reserved code point directly after a high surrogate is the second half of that
// surrogate pair, not a byte.
constexpr char16_t reservedFor(unsigned char byte) {
    return char16_t(0xDC80 + byte);
}
constexpr bool isReserved(char16_t c) {
    return (c >= reservedFor(0x80) && c <= reservedFor(0xA0)) ||
           (c >= reservedFor(0xE0) && c <= reservedFor(0xFF));
}

// True when `c` survives an encode and decode unchanged ('\n' and reserved code
// points included).
bool isRepresentable(char16_t c);
// Text as it may enter an editor: each character code page 932 cannot represent is
// replaced by "?", and CR LF or a lone CR become '\n'.
QString toRepresentable(QStringView text);

// Byte measures: '\n' counts 2, a double-byte character 2, anything else 1 (a
// character that cannot be represented counts as the "?" it would be written as).
int byteLength(char16_t c);
// The same measure for every UTF-16 code unit at once, for loops over long texts.
// A high surrogate counts 1 here; text that entered an editor holds none.
const unsigned char* byteLengthTable();
qsizetype byteLength(QStringView text);
// Byte offset of character position `position` (0..text.size()).
qsizetype byteOffset(QStringView text, qsizetype position);
// Character position that holds byte `offset`; an offset inside a double-byte
// character or a line break gives the position of that character. Offsets past the
// end give text.size().
qsizetype charPosition(QStringView text, qsizetype offset);

} // namespace qel::cp932

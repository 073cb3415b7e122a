#include "text/Cp932.h"
#include "../TestPrinters.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace qel::cp932 {

inline void PrintTo(const AlternateForm& form, std::ostream* os) {
    *os << '{' << form.position << ", 0x" << std::hex << form.code << std::dec << '}';
}

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

// The bytes a document is saved with: every line break (CR LF, lone CR, lone LF) as
// CR LF. A trail byte is never CR or LF, so this can work byte by byte.
QByteArray withCrLf(QByteArrayView in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\r' || in[i] == '\n') {
            out.append("\r\n");
            if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n')
                ++i;
        } else {
            out.append(in[i]);
        }
    }
    return out;
}

// Loading and saving without an edit keeps every byte, line breaks aside; the byte
// count shown for the text is the size of the file it saves to.
::testing::AssertionResult survivesLoadAndSave(QByteArrayView in) {
    const Decoded loaded = decode(in);
    const QByteArray saved = encode(loaded.text, loaded.alternates);
    const QByteArray expected = withCrLf(in);
    if (saved != expected)
        return ::testing::AssertionFailure()
               << "[" << in.toByteArray().toHex(' ').constData() << "] saved as ["
               << saved.toHex(' ').constData() << "]";
    if (byteLength(loaded.text) != saved.size())
        return ::testing::AssertionFailure()
               << "[" << in.toByteArray().toHex(' ').constData() << "] counts "
               << byteLength(loaded.text) << " bytes, saves " << saved.size();
    return ::testing::AssertionSuccess();
}

// Byte strings rich in what is hard to decode: lead bytes with and without a valid
// trail, bytes that never decode, line breaks split from their halves.
QByteArray randomBytes(std::mt19937& rng, int maxLength) {
    static const unsigned char interesting[] = {0x00, 0x0A, 0x0D, 0x40, 0x5C, 0x7E, 0x7F, 0x80,
                                                0x81, 0x87, 0x90, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0,
                                                0xED, 0xEE, 0xEF, 0xF0, 0xFA, 0xFC, 0xFD, 0xFF};
    const int length = std::uniform_int_distribution<int>(0, maxLength)(rng);
    QByteArray out;
    for (int i = 0; i < length; ++i) {
        if (rng() % 2)
            out.append(char(interesting[rng() % sizeof interesting]));
        else
            out.append(char(rng() % 256));
    }
    return out;
}

// ---- Loading and saving ------------------------------------------------------------

TEST(Cp932RoundTrip, EverySingleByteAndBytePair) {
    int failures = 0;
    for (int first = 0; first < 0x100 && failures < 10; ++first) {
        EXPECT_TRUE(survivesLoadAndSave(bytes({first})));
        for (int second = 0; second < 0x100; ++second)
            if (const auto r = survivesLoadAndSave(bytes({first, second})); !r) {
                ADD_FAILURE() << r.message();
                ++failures;
            }
    }
}

TEST(Cp932RoundTrip, RandomByteStrings) {
    std::mt19937 rng(932);
    int failures = 0;
    for (int n = 0; n < 20000 && failures < 10; ++n) {
        const QByteArray in = randomBytes(rng, 64);
        if (const auto r = survivesLoadAndSave(in); !r) {
            ADD_FAILURE() << r.message();
            ++failures;
        }
        // A loaded document is already fit for the editor: nothing is replaced.
        const QString text = decodeText(in);
        if (toRepresentable(text) != text) {
            ADD_FAILURE() << "changed on entry: [" << in.toHex(' ').constData() << "]";
            ++failures;
        }
    }
}

TEST(Cp932RoundTrip, LineBreaksBecomeOneKind) {
    EXPECT_EQ(decodeText("a\r\nb\rc\nd\r\r\n\n\r"), u"a\nb\nc\nd\n\n\n\n"_s);
    EXPECT_EQ(encode(u"a\nb\n"_s), QByteArray("a\r\nb\r\n"));
    EXPECT_TRUE(decode({}).text.isEmpty());
    EXPECT_EQ(charPosition(QStringView(), 3), 0);
}

TEST(Cp932RoundTrip, LeadByteWithoutTrail) {
    // At the very end, before a line break of each kind, before a byte that is no trail.
    EXPECT_EQ(decodeText(bytes({'A', 0x82})), u"A"_s + QChar(reservedFor(0x82)));
    EXPECT_EQ(decodeText(bytes({0x82, '\r', '\n', 'B'})), QChar(reservedFor(0x82)) + u"\nB"_s);
    EXPECT_EQ(decodeText(bytes({0x82, '\n', 'B'})), QChar(reservedFor(0x82)) + u"\nB"_s);
    EXPECT_EQ(decodeText(bytes({0xE0, '\r'})), QChar(reservedFor(0xE0)) + u"\n"_s);

    // 0x85 0x40 lies in an unassigned row: both bytes are kept, the second as '@'.
    EXPECT_EQ(decodeText(bytes({0x85, 0x40})), QChar(reservedFor(0x85)) + u"@"_s);

    for (const QByteArray& in :
         {bytes({'A', 0x82}), bytes({0x82, '\r', '\n', 'B'}), bytes({0xFC, 0x0A}),
          bytes({0x81, 0x81, 0x81}), bytes({0x85, 0x40, 0xFD, 0xA0, 0x80})})
        EXPECT_TRUE(survivesLoadAndSave(in));
}

TEST(Cp932RoundTrip, NulBytes) {
    const QByteArray in = bytes({0x00, 'a', 0x00, 0x82, 0x00, 0x82, 0xA0, 0x00});
    const QString text = decodeText(in);
    EXPECT_EQ(text.size(), 7);
    EXPECT_EQ(text[0], QChar(0));
    EXPECT_EQ(text[3], QChar(reservedFor(0x82)));
    EXPECT_EQ(text[5], QChar(u'あ'));
    EXPECT_TRUE(survivesLoadAndSave(in));
}

// ---- Characters with more than one code ----------------------------------------------

TEST(Cp932AlternateForms, EachCodeIsWrittenBackAsRead) {
    // ≒ as 0x81E0 (default) and 0x8790; 纊 as 0xFA5C (default) and 0xED40; ￢ (U+FFE2)
    // as 0x81CA (default), 0xEEF9 and 0xFA54; ∵ as 0x81E6 (default), 0x879A and 0xFA5B.
    const QByteArray in =
        bytes({0x87, 0x90, 0x81, 0xE0, 'x',  0xED, 0x40, 0xFA, 0x5C, '\r', '\n', 0xFA, 0x54,
               0xEE, 0xF9, 0x81, 0xCA, 0xFA, 0x54, 0xFA, 0x5B, 0x87, 0x9A, 0x81, 0xE6});
    const Decoded d = decode(in);
    EXPECT_EQ(d.text, u"≒≒x纊纊\n￢￢￢￢∵∵∵"_s);
    const std::vector<AlternateForm> expected{{0, 0x8790}, {3, 0xED40},  {6, 0xFA54}, {7, 0xEEF9},
                                              {9, 0xFA54}, {10, 0xFA5B}, {11, 0x879A}};
    EXPECT_EQ(d.alternates, expected);
    EXPECT_EQ(encode(d.text, d.alternates), in);

    // Without them every character takes its default code.
    EXPECT_EQ(encode(d.text),
              bytes({0x81, 0xE0, 0x81, 0xE0, 'x',  0xFA, 0x5C, 0xFA, 0x5C, '\r', '\n', 0x81, 0xCA,
                     0x81, 0xCA, 0x81, 0xCA, 0x81, 0xCA, 0x81, 0xE6, 0x81, 0xE6, 0x81, 0xE6}));
}

TEST(Cp932AlternateForms, StaleFormsAreIgnored) {
    const QString text = u"a≒b"_s;
    // The character at the position is no longer the one the code stands for, the code
    // stands for another character, the position is past the end.
    const std::vector<AlternateForm> stale{{0, 0x8790}, {1, 0xED40}, {2, 0x0062}, {9, 0x8790}};
    EXPECT_EQ(encode(text, stale), bytes({'a', 0x81, 0xE0, 'b'}));
    // U+FFFF is no character of the code page, whatever a form claims.
    EXPECT_EQ(encode(u"\uFFFF"_s, std::vector<AlternateForm>{{0, 0x0041}}), QByteArray("?"));
}

TEST(Cp932AlternateForms, AdjustedThroughEdits) {
    const std::vector<AlternateForm> forms{{2, 0x8790}, {5, 0xED40}, {9, 0xEEF9}};
    auto edited = [&](qsizetype position, qsizetype removed, qsizetype added) {
        std::vector<AlternateForm> f = forms;
        adjustAlternates(f, position, removed, added);
        return f;
    };
    using V = std::vector<AlternateForm>;
    // Typing before a form moves it, typing right at it pushes it on.
    EXPECT_EQ(edited(0, 0, 3), (V{{5, 0x8790}, {8, 0xED40}, {12, 0xEEF9}}));
    EXPECT_EQ(edited(5, 0, 1), (V{{2, 0x8790}, {6, 0xED40}, {10, 0xEEF9}}));
    // Typing just after a form, or after all of them, leaves it.
    EXPECT_EQ(edited(6, 0, 2), (V{{2, 0x8790}, {5, 0xED40}, {11, 0xEEF9}}));
    EXPECT_EQ(edited(10, 0, 4), forms);
    // A removal ending just before a form moves it back; one taking it drops it.
    EXPECT_EQ(edited(3, 2, 0), (V{{2, 0x8790}, {3, 0xED40}, {7, 0xEEF9}}));
    EXPECT_EQ(edited(4, 2, 0), (V{{2, 0x8790}, {7, 0xEEF9}}));
    // Overtyping the character drops its form even when the same character is typed.
    EXPECT_EQ(edited(5, 1, 1), (V{{2, 0x8790}, {9, 0xEEF9}}));
    EXPECT_EQ(edited(0, 100, 0), V{});
    EXPECT_EQ(edited(1, 8, 2), (V{{3, 0xEEF9}}));
}

TEST(Cp932AlternateForms, SavedAfterAnEditAroundThem) {
    // "≒(0x8790) ab ￢(0xEEF9)": the user replaces "ab" with "xyz" and adds a line.
    const QByteArray in = bytes({0x87, 0x90, 'a', 'b', 0xEE, 0xF9});
    Decoded d = decode(in);
    d.text.replace(1, 2, u"xyz"_s);
    adjustAlternates(d.alternates, 1, 2, 3);
    d.text.append(u"\n￢"_s);
    adjustAlternates(d.alternates, 5, 0, 2);
    EXPECT_EQ(encode(d.text, d.alternates),
              bytes({0x87, 0x90, 'x', 'y', 'z', 0xEE, 0xF9, '\r', '\n', 0x81, 0xCA}));
}

// ---- Byte measures -------------------------------------------------------------------

TEST(Cp932Measures, OffsetsAndPositions) {
    // a あ \n ｱ ≒ 😀(two units) b, written 1 2 2 1 2 1 1 bytes.
    const QString text = u"aあ\nｱ≒😀b"_s;
    ASSERT_EQ(text.size(), 8);
    EXPECT_EQ(byteLength(text), 10);
    const qsizetype offsets[] = {0, 1, 3, 5, 6, 8, 9, 9, 10};
    for (qsizetype p = 0; p <= text.size(); ++p)
        EXPECT_EQ(byteOffset(text, p), offsets[p]) << "position " << p;
    // Inside a double-byte character or a line break: the position of that character.
    const qsizetype positions[] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 7, 8};
    for (qsizetype o = 0; o <= 10; ++o)
        EXPECT_EQ(charPosition(text, o), positions[o]) << "offset " << o;
    EXPECT_EQ(charPosition(text, 11), text.size());
    EXPECT_EQ(charPosition(text, 1000), text.size());
    EXPECT_EQ(byteOffset(text, 1000), 10);
}

TEST(Cp932Measures, ConsistentWithTheSavedFile) {
    std::mt19937 rng(31);
    for (int n = 0; n < 500; ++n) {
        QString text = decodeText(randomBytes(rng, 40));
        if (n % 3 == 0)
            text.insert(qsizetype(rng() % (text.size() + 1)), u"😀¥"_s);
        const qsizetype total = encode(text).size();
        ASSERT_EQ(byteLength(text), total) << ::testing::PrintToString(text);
        for (qsizetype p = 0; p <= text.size(); ++p) {
            if (p > 0 && text[p - 1].isHighSurrogate() && p < text.size() &&
                text[p].isLowSurrogate())
                continue; // no position inside a character
            const qsizetype o = byteOffset(text, p);
            ASSERT_EQ(o, encode(QStringView(text).left(p)).size());
            ASSERT_EQ(charPosition(text, o), p);
        }
        // Every byte of the file belongs to the character it was written for.
        for (qsizetype o = 0; o < total; ++o) {
            const qsizetype p = charPosition(text, o);
            ASSERT_LT(p, text.size());
            ASSERT_LE(byteOffset(text, p), o);
            ASSERT_GT(byteOffset(text, p) + byteLength(text[p].unicode()), o);
        }
    }
}

// ---- Text entering the editor --------------------------------------------------------

TEST(Cp932Entry, UnrepresentableCharactersBecomeQuestionMarks) {
    // One "?" per character: a surrogate pair is one, also when its second half looks
    // like a reserved code point (🤔 is D83E DD14).
    EXPECT_EQ(toRepresentable(u"a😀b🤔c"_s), u"a?b?c"_s);
    EXPECT_EQ(encode(u"a😀b🤔c"_s), QByteArray("a?b?c"));
    EXPECT_EQ(byteLength(u"😀🤔"_s), 2);
    // Yen sign, not sign (Windows reads 0x81CA as U+FFE2), wave dash (0x8160 is U+FF5E),
    // em dash (0x815C is U+2015), a Hangul syllable.
    EXPECT_EQ(toRepresentable(u"¥\u00AC〜—한～―￢"_s), u"?????～―￢"_s);
    // Lone surrogates that are no reserved code point.
    EXPECT_EQ(toRepresentable(QString(u"x"_s + QChar(0xDC00) + QChar(0xD83D))), u"x??"_s);
    // A reserved code point whose byte would read back as something else.
    EXPECT_EQ(toRepresentable(QString(QChar(reservedFor(0xB1)))), u"?"_s);
    // Line breaks become newlines.
    EXPECT_EQ(toRepresentable(u"a\r\nb\rc\nd\r\r\r\n\n"_s), u"a\nb\nc\nd\n\n\n\n"_s);
}

TEST(Cp932Entry, RepresentableTextIsKept) {
    const QString text = u"漢字かなカナｶﾅ ASCII ①Ⅰ㈱≒纊￢ \uE000\uE757\\~"_s +
                         QChar(reservedFor(0x81)) + QChar(reservedFor(0xFF));
    EXPECT_EQ(toRepresentable(text), text);
    const Decoded again = decode(encode(text));
    EXPECT_EQ(again.text, text);
}

} // namespace
} // namespace qel::cp932

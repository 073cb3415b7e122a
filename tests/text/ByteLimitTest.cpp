// The 33-byte name box: what an edit adds is cut to what fits, at a character boundary.
#include "text/ByteLimit.h"
#include "../TestPrinters.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel::cp932 {
namespace {

TEST(ByteLimit, WhatAnEditAddsIsCutAtACharacterBoundary) {
    const QString ascii32 = QString(32, u'a');
    const QString wide16 = QString(16, u'あ'); // 32 bytes
    struct Case {
        const char* what;
        QString before, after;
        qsizetype cursor;
        QString text;
        qsizetype cursorAfter;
    };
    const Case cases[] = {
        {"typed within the limit", u"ab"_s, u"abc"_s, 3, u"abc"_s, 3},
        {"33rd single-byte character fits", ascii32, ascii32 + u'b', 33, ascii32 + u'b', 33},
        {"34th does not", ascii32 + u'b', ascii32 + u"bc", 34, ascii32 + u'b', 33},
        {"16 double-byte and one single-byte", wide16, wide16 + u'x', 17, wide16 + u'x', 17},
        {"a 17th double-byte character would need 34 bytes", wide16, wide16 + u'い', 17, wide16,
         16},
        {"pasted mixed widths stop before the character that does not fit", ascii32.left(31),
         ascii32.left(31) + u"xあy", 34, ascii32.left(31) + u'x', 32},
        {"pasted in the middle keeps what follows", u"[]"_s + ascii32.left(30),
         u"[漢字かな]"_s + ascii32.left(30), 5, u"[]"_s + ascii32.left(30), 1},
        {"typed in the middle, part fits", u"ab"_s + ascii32.left(28),
         u"a漢字b"_s + ascii32.left(28), 3, u"a漢b"_s + ascii32.left(28), 2},
        {"replacing a selection frees its bytes", wide16, u"xyz"_s + QString(15, u'あ'), 3,
         u"xyz"_s + QString(15, u'あ'), 3},
        {"a composed text committed at the end", wide16.left(15), wide16.left(15) + u"日本語"_s, 18,
         wide16.left(15) + u"日", 16},
        {"repeated letters: the cursor says where the insertion is", ascii32, u"ab"_s + ascii32, 2,
         u"a"_s + ascii32, 1},
        {"a text already over the limit takes nothing more", QString(40, u'z'),
         QString(40, u'z') + u'!', 41, QString(40, u'z'), 40},
        {"a character code page 932 lacks counts as its one-byte stand-in", ascii32,
         ascii32 + u"€€", 34, ascii32 + u"€", 33},
        {"a surrogate pair is one character", ascii32, ascii32 + u"😀x"_s, 35, ascii32 + u"😀"_s, 34},
    };
    for (const Case& c : cases) {
        const LimitedEdit got = limitEdit(c.before, c.after, c.cursor, 33);
        EXPECT_EQ(got.text, c.text) << c.what;
        EXPECT_EQ(got.cursor, c.cursorAfter) << c.what;
        EXPECT_LE(byteLength(got.text), std::max<qsizetype>(33, byteLength(c.before))) << c.what;
    }
}

} // namespace
} // namespace qel::cp932

#include "../TestPrinters.h"

#include "search/TextMatch.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace qel::search;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Options kWholeWord{.wholeWord = true, .matchCase = true};
constexpr Options kMatchCase{.wholeWord = false, .matchCase = true};
constexpr Options kAnyCase{};

qsizetype findAll(const QString& text, const QString& what, Options options) {
    return find(text, what, 0, qel::cp932::byteLength(text), options);
}

} // namespace

TEST(WholeWord, KanjiKanaAndLettersAreSeparateWords) {
    EXPECT_EQ(findAll(u"東京都に行く"_s, u"東京都"_s, kWholeWord), 0);
    EXPECT_EQ(findAll(u"東京都に行く"_s, u"東京"_s, kWholeWord), -1);
    EXPECT_EQ(findAll(u"東京に行く"_s, u"東京"_s, kWholeWord), 0);
    EXPECT_EQ(findAll(u"人々の声"_s, u"人"_s, kWholeWord), -1); // 々 continues the kanji
    EXPECT_EQ(findAll(u"ひらがなカタカナ"_s, u"ひらがな"_s, kWholeWord), 0);
    EXPECT_EQ(findAll(u"ひらがなカタカナ"_s, u"カタ"_s, kWholeWord), -1);
    EXPECT_EQ(findAll(u"スーパーで"_s, u"スー"_s, kWholeWord), -1); // ー is katakana
    EXPECT_EQ(findAll(u"ｶﾀｶﾅ"_s, u"ｶﾀ"_s, kWholeWord), -1);
    EXPECT_EQ(findAll(u"カ・カ"_s, u"カ"_s, kWholeWord), 0); // ・ separates
    EXPECT_EQ(findAll(u"〇〇ヶ月"_s, u"〇〇"_s, kWholeWord), 0);
    EXPECT_EQ(findAll(u"漢字abc"_s, u"abc"_s, kWholeWord), 4);
}

TEST(WholeWord, LettersDigitsAndUnderscoreFormOneWord) {
    EXPECT_EQ(findAll(u"concatenate"_s, u"cat"_s, kWholeWord), -1);
    EXPECT_EQ(findAll(u"a cat."_s, u"cat"_s, kWholeWord), 2);
    EXPECT_EQ(findAll(u"cat_s cat"_s, u"cat"_s, kWholeWord), 6);
    EXPECT_EQ(findAll(u"10kg 10"_s, u"10"_s, kWholeWord), 5);
    EXPECT_EQ(findAll(u"ＣＡＴＳ ＣＡＴ"_s, u"ＣＡＴ"_s, kWholeWord), 9);
    EXPECT_EQ(findAll(u"xＣＡＴ"_s, u"ＣＡＴ"_s, kWholeWord), -1); // full-width is alphanumeric too
    EXPECT_EQ(findAll(u"cat\ncat"_s, u"cat"_s, kWholeWord), 0);
    // Edges that are not word characters set no condition on that side.
    EXPECT_EQ(findAll(u"x(catalog"_s, u"(cat"_s, kWholeWord), -1);
    EXPECT_EQ(findAll(u"x(cat log"_s, u"(cat"_s, kWholeWord), 1);
}

TEST(CaseFolding, WithoutMatchCaseLettersOfEveryWidthMatch) {
    EXPECT_EQ(findAll(u"xABC"_s, u"abc"_s, kAnyCase), 1);
    EXPECT_EQ(findAll(u"xABC"_s, u"abc"_s, kMatchCase), -1);
    EXPECT_EQ(findAll(u"ＡＢＣ"_s, u"ａｂｃ"_s, kAnyCase), 0);
    EXPECT_EQ(findAll(u"ΑΩ"_s, u"ω"_s, kAnyCase), 2);
    EXPECT_EQ(findAll(u"Ⅻ"_s, u"ⅻ"_s, kAnyCase), 0);
    // Kana have no case: nothing else changes.
    EXPECT_EQ(findAll(u"アあ"_s, u"あ"_s, kAnyCase), 2);
}

// A match is selected as many bytes as the find text has; that only works if letters
// that fold together are the same size in code page 932. They also must not change
// word class.
TEST(CaseFolding, FoldedLettersKeepTheirSizeAndClass) {
    std::map<char16_t, std::pair<int, WordClass>> byFold;
    int pairs = 0;
    for (char32_t u = 0; u < 0x10000; ++u) {
        const auto c = static_cast<char16_t>(u);
        if (!qel::cp932::isRepresentable(c) || qel::cp932::isReserved(c))
            continue;
        const auto seen = std::make_pair(qel::cp932::byteLength(c), wordClass(c));
        const auto [it, fresh] = byFold.emplace(foldCase(c), seen);
        if (!fresh) {
            ++pairs;
            EXPECT_EQ(it->second, seen) << "U+" << std::hex << int(c);
        }
    }
    EXPECT_GT(pairs, 100); // ASCII, full-width, Greek, Cyrillic, Roman numerals
}

TEST(RangeSearch, OffsetsAreCodePage932Bytes) {
    // あ0 い2 a4 b5 c6 \n7 あ9
    const QString text = u"あいabc\nあ"_s;
    EXPECT_EQ(find(text, u"a"_s, 0, 11, kMatchCase), 4);
    EXPECT_EQ(find(text, u"あ"_s, 0, 11, kMatchCase), 0);
    EXPECT_EQ(find(text, u"あ"_s, 1, 10, kMatchCase), 9); // starts in the middle of あ
    EXPECT_EQ(find(text, u"c\nあ"_s, 0, 11, kMatchCase), 6);
    EXPECT_EQ(find(text, u"\nあ"_s, 7, 4, kMatchCase), 7);
}

TEST(RangeSearch, MatchMustLieEntirelyInTheRange) {
    const QString text = u"xxabcabc"_s;
    EXPECT_EQ(find(text, u"abc"_s, 2, 2, kMatchCase), -1);
    EXPECT_EQ(find(text, u"abc"_s, 2, 3, kMatchCase), 2);
    EXPECT_EQ(find(text, u"abc"_s, 3, 4, kMatchCase), -1);
    EXPECT_EQ(find(text, u"abc"_s, 3, 5, kMatchCase), 5);
    EXPECT_EQ(find(text, u"abc"_s, 3, 1000, kMatchCase), 5); // past the end is fine
    EXPECT_EQ(find(text, u"abc"_s, 9, 10, kMatchCase), -1);
    EXPECT_EQ(find(text, u"abc"_s, 0, -1, kMatchCase), -1);
    EXPECT_EQ(find(text, QString(), 0, 8, kMatchCase), -1);
    // A range ending inside a double-byte character does not hold that character.
    EXPECT_EQ(find(u"aあ"_s, u"あ"_s, 0, 2, kMatchCase), -1);
    EXPECT_EQ(find(u"aあ"_s, u"あ"_s, 0, 3, kMatchCase), 1);
}

TEST(RangeSearch, WordBoundariesLookPastTheRange) {
    // The range ends after "cat", but the word goes on: not a whole word.
    EXPECT_EQ(find(u"cats"_s, u"cat"_s, 0, 3, kWholeWord), -1);
    EXPECT_EQ(find(u"scat"_s, u"cat"_s, 1, 3, kWholeWord), -1);
}

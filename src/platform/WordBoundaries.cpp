#include "WordBoundaries.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace qel {

namespace {

// Made once: the iterator loads its rules and dictionaries when it is made.
icu::BreakIterator* japaneseWords() {
    static const std::unique_ptr<icu::BreakIterator> words = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(
            icu::BreakIterator::createWordInstance(icu::Locale::getJapanese(), status));
        return U_SUCCESS(status) ? std::move(it) : nullptr;
    }();
    return words.get();
}

} // namespace

WordBoundaries::WordBoundaries(const QString& text) : text_(text) {
    bounds_.push_back(0);
    icu::BreakIterator* it = japaneseWords();
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUChars(&utext, reinterpret_cast<const UChar*>(text_.utf16()), text_.size(), &status);
    if (it && U_SUCCESS(status)) {
        it->setText(&utext, status);
        for (int32_t b = it->first(); U_SUCCESS(status) && b != icu::BreakIterator::DONE;
             b = it->next())
            if (b > bounds_.back())
                bounds_.push_back(b);
        // The iterator keeps no hold on text that goes with this object.
        static const icu::UnicodeString nothing;
        it->setText(nothing);
    }
    utext_close(&utext);
    if (bounds_.back() != text_.size()) // no iterator: the text is one segment
        bounds_.push_back(text_.size());
}

bool WordBoundaries::startsWord(std::size_t k) const {
    if (k + 1 >= bounds_.size())
        return false;
    for (qsizetype i = bounds_[k]; i < bounds_[k + 1]; ++i)
        if (!text_.at(i).isSpace())
            return true;
    return false;
}

qsizetype WordBoundaries::startBefore(qsizetype index) const {
    auto k = std::size_t(std::lower_bound(bounds_.begin(), bounds_.end(), index) - bounds_.begin());
    while (k-- > 0)
        if (startsWord(k))
            return bounds_[k];
    return 0;
}

qsizetype WordBoundaries::startAfter(qsizetype index) const {
    auto k = std::size_t(std::upper_bound(bounds_.begin(), bounds_.end(), index) - bounds_.begin());
    for (; k < bounds_.size(); ++k)
        if (startsWord(k))
            return bounds_[k];
    return text_.size();
}

std::pair<qsizetype, qsizetype> WordBoundaries::segmentAt(qsizetype index) const {
    const auto next = std::upper_bound(bounds_.begin(), bounds_.end(), index);
    if (next == bounds_.end())
        return {text_.size(), text_.size()};
    return {*(next - 1), *next};
}

} // namespace qel

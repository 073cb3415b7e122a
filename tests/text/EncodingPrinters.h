#pragma once

// The encodings by the names the corpus gives them, and recognitions as GoogleTest
// prints them.

#include "text/Encoding.h"

#include <array>
#include <ostream>

namespace qel::encoding {

inline constexpr std::array<Encoding, 6> kAll{Encoding::Cp932,   Encoding::Utf8,
                                              Encoding::Utf16LE, Encoding::Utf16BE,
                                              Encoding::EucJp,   Encoding::Iso2022Jp};

inline const char* label(Encoding e) {
    switch (e) {
    case Encoding::Cp932:
        return "cp932";
    case Encoding::Utf8:
        return "utf-8";
    case Encoding::Utf16LE:
        return "utf-16le";
    case Encoding::Utf16BE:
        return "utf-16be";
    case Encoding::EucJp:
        return "euc-jp";
    case Encoding::Iso2022Jp:
        return "iso-2022-jp";
    }
    return "?";
}

inline void PrintTo(const Recognition& r, std::ostream* os) {
    *os << label(r.encoding) << (r.byteOrderMark ? " with mark" : "") << " at " << r.confidence;
}

} // namespace qel::encoding

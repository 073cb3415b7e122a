#pragma once

namespace qel {

// Settings files and dialogs name the Windows Japanese fonts ("ＭＳ ゴシック" and its
// kin), which Linux does not have. Qt's font substitutions draw them with installed
// fonts made for the purpose: IPA's (same metrics: a full-width character is two
// half-width ones wide) or else Noto CJK. The names stored and shown stay as they are.
// Called once at start, before any window is made.
void useFontSubstitutes();

} // namespace qel

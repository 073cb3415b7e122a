#pragma once

class QCoreApplication;

namespace qel {

// Qt's own texts (the standard buttons はい, いいえ, キャンセル, the file dialogs and
// their questions) in Japanese like the rest of the interface, whatever the system's
// locale. False when Qt's Japanese translations are not installed; the texts then stay
// in English.
bool installJapaneseQtTexts(QCoreApplication& app);

} // namespace qel

#include "FontSubstitutes.h"

#include <QFont>
#include <QStringList>

namespace qel {

void useFontSubstitutes() {
    struct Substitute {
        QStringList names; // as Windows and older settings files spell them
        QStringList fonts; // the first installed one draws them
    };
    const Substitute substitutes[] = {
        {{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ　ゴシック"),
          QStringLiteral("MS Gothic")},
         {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")}},
        {{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("ＭＳ　Ｐゴシック"),
          QStringLiteral("MS PGothic")},
         {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")}},
        {{QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ　明朝"), QStringLiteral("MS Mincho")},
         {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")}},
        {{QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("ＭＳ　Ｐ明朝"),
          QStringLiteral("MS PMincho")},
         {QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP")}},
    };
    for (const Substitute& s : substitutes)
        for (const QString& name : s.names)
            if (QFont::substitutes(name).isEmpty())
                QFont::insertSubstitutions(name, s.fonts);
}

} // namespace qel

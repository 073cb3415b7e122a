#pragma once

#include <QString>
#include <QStringView>

namespace qel::cp932 {

// A one-line text box limited to a number of code page 932 bytes: what an edit adds is
// cut, at a character boundary, to what still fits, the way a typed, pasted or
// composed text is cut. Text the edit did not add is never cut.
struct LimitedEdit {
    QString text;
    qsizetype cursor = 0;
};

// `before` is the text before the edit; `after` the text it made, with the cursor at
// `cursor`, just behind what the edit inserted.
LimitedEdit limitEdit(QStringView before, QStringView after, qsizetype cursor, qsizetype limit);

} // namespace qel::cp932

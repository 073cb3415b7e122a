#include "SettingsFileList.h"

#include <QDir>

#include <algorithm>

namespace qel {

namespace {

// Letter case only breaks ties, so the order does not depend on the locale.
bool listsBefore(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

QStringList windowSettingsFileNames(const QString& folder) {
    // Without QDir::CaseSensitive the pattern matches in any letter case; without
    // QDir::Hidden and QDir::System hidden and special files stay out.
    QStringList names =
        QDir(folder).entryList({QStringLiteral("*.QelW")}, QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), listsBefore);
    return names;
}

qsizetype indexOfFileName(const QStringList& names, QStringView name) {
    for (qsizetype i = 0; i < names.size(); ++i)
        if (name.compare(names[i], Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qsizetype sortedPosition(const QStringList& names, const QString& name) {
    return std::upper_bound(names.begin(), names.end(), name, listsBefore) - names.begin();
}

bool joinsFileLists(const QStringList& firstList, QStringView name) {
    return !firstList.isEmpty() && indexOfFileName(firstList, name) < 0;
}

} // namespace qel

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qel {

// The lists of window settings files the options dialog offers: file names without
// folder, kept sorted without regard to letter case.

// Files of `folder` whose names end in ".QelW" (in any letter case), hidden files and
// anything that is not a file left out, sorted.
QStringList windowSettingsFileNames(const QString& folder);

// Index of the entry equal to `name` without regard to letter case; -1 when none is.
qsizetype indexOfFileName(const QStringList& names, QStringView name);

// Where `name` goes in the sorted `names`.
qsizetype sortedPosition(const QStringList& names, const QString& name);

// Whether a file just saved under `name` joins the lists, judged by the first list:
// only a list that has entries, and only a name it does not hold yet.
bool joinsFileLists(const QStringList& firstList, QStringView name);

} // namespace qel

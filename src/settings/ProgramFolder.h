#pragma once

#include <QString>

namespace qel {

// The folder every settings, list and configuration file lives in, ending in a
// separator: the executable's folder when the program can write there (a copy in a
// folder of its own), otherwise the per-user configuration folder
// (QStandardPaths::AppConfigLocation). Tests point it at a temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder); // empty: back to the rule above

// The rule itself: executableFolder when it is a folder the program can write in,
// otherwise userFolder, which is then created so that the first save finds it.
QString settingsFolder(const QString& executableFolder, const QString& userFolder);

} // namespace qel

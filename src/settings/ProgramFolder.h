#pragma once

#include <QString>

namespace qel {

// The folder of the running executable, ending in a separator. Settings files live
// there. Tests point it at a temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder); // empty: back to the executable's folder

} // namespace qel

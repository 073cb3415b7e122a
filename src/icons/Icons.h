#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace qel {

// The tool-bar icon of a command, by the command's name ("FileNew", "EditCut1", ...).
// Where the desktop's icon theme has the standard icon for the command, that one is
// taken, so the tool bar matches the rest of the desktop; otherwise, and for the
// commands no theme knows, the icon drawn for this program. A null icon for a name
// that has none.
QIcon commandIcon(const QString& commandName);

// The program's own icon, for the windows.
QIcon applicationIcon();

// The names of the commands commandIcon() has an icon for: the tool bar's in its order,
// then the settings menu's font and colour commands.
QStringList iconCommandNames();

// The resource path of the program's own drawing for a command (":/icons/....svg"),
// whatever the theme offers; empty for a name that has none.
QString commandIconResource(const QString& commandName);

// The resource path of the application icon's drawing.
QString applicationIconResource();

} // namespace qel

#pragma once

#include "settings/EditorLook.h"
#include "settings/WindowPlace.h"

#include <QStringView>

class QWidget;

namespace qel {

class ByteEditor;
class IniFile;

// The parts of a window settings file that the main window and the sub-windows share:
// the window's place (section Form) and its editor's look (section Editor).

// Top, Left, Height and Width of `section`, each missing one from `defaults`, as
// stored: placeWindow() fits them to the screens. writePlacement() stores the outer
// frame, the measure placeWindow() applies, so that a window closed and started
// again comes back exactly where it was.
WindowPlace readPlacement(const IniFile& file, const WindowPlace& defaults,
                          QStringView section = u"Form");
void writePlacement(IniFile& file, const QWidget* window, QStringView section = u"Form");

// Applies BackColor, Font, FontSize, FontColor and FontStyle to `editor`; what the file
// leaves out comes from `defaults`. A style name the program does not know leaves the
// style as the editor had it.
void readEditorLook(const IniFile& file, ByteEditor* editor, const EditorLook& defaults);
// Writes Font, FontStyle, FontSize, FontColor and BackColor, in that order.
void writeEditorLook(IniFile& file, const ByteEditor* editor);

} // namespace qel

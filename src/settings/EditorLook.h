#pragma once

#include <QColor>
#include <QFont>

namespace qel {

class IniFile;

// How an editor looks: the font (face, size and style), its text colour and its
// background colour, as section Editor of a window settings file stores them.
struct EditorLook {
    QFont font;
    QColor text;
    QColor background;
};

// Reads Font, FontSize, FontColor, BackColor and FontStyle into `look`; what the file
// leaves out comes from `defaults`. A style name the program does not know leaves the
// style `look` had.
void readEditorLook(const IniFile& file, EditorLook& look, const EditorLook& defaults);
// Writes Font, FontStyle, FontSize, FontColor and BackColor, in that order.
void writeEditorLook(IniFile& file, const EditorLook& look);

} // namespace qel

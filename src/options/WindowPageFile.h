#pragma once

#include "settings/EditorLook.h"

#include <QString>

namespace qel {

class IniFile;
struct DateTimeFormatSettings;

// What one window page of the options dialog holds: the name, look, place and (for a
// sub-window) the shown and on-top states of one editing window. The place travels as
// text, as it was read, and becomes a number only when it is written.
struct WindowPage {
    QString name;
    EditorLook look;
    QString width;
    QString height;
    QString left;
    QString top;
    bool shown = false; // sub-windows only
    bool onTop = false; // sub-windows only
};

// Windows are numbered 0 for the main window and 1 to 3 for the sub-windows.
inline constexpr int kWindowCount = 4;
inline constexpr bool isSubWindow(int window) {
    return window > 0;
}
// "QelEditor", "SubWindow1", "SubWindow2", "SubWindow3".
QString defaultWindowName(int window);

// The labels built from the place: "：幅　500，高さ　350" and "：x　100，y　100".
QString windowSizeText(const WindowPage& page);
QString windowPositionText(const WindowPage& page);

// Writes the page in the stored order: Form Top, Left, Height, Width, WindowName (and
// for a sub-window StayOnTop, Visible), then section Editor, then for the main window
// section Date&TimeFormat from `dateTime`. Keys the page does not hold stay as they
// are. A place text that is no integer throws Error when its turn comes; what was
// written before it stays written.
void writeWindowPage(IniFile& file, int window, const WindowPage& page,
                     const DateTimeFormatSettings& dateTime);

// Reads a page file into `page`. What the file lacks: the default window name, shown,
// an ordinary window, 10-point "ＭＳ　ゴシック" in black on white with no style, and the
// place texts `page` already has. A style name the program does not know keeps the
// style `page` had. Date&TimeFormat is not read.
void readWindowPage(const IniFile& file, int window, WindowPage& page);

} // namespace qel

#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

#include <optional>

// Value forms shared by every settings file: font style names, colours and the parts
// of a path.
namespace qel {

// "Normal", "Bold", "Italic" or "ItalicBold"; underline and strike-out are not stored.
QString fontStyleName(const QFont& font);
// Applies a stored style name (exact, letter case significant). Any other name leaves
// the font as it was; returns whether the name was recognised.
bool applyFontStyleName(QFont& font, QStringView name);

// The stored colour value: red in bits 0-7, green 8-15, blue 16-23.
int colorValue(const QColor& color);
// A stored value back as a colour; a value outside 0..16777215 gives `fallback`.
QColor colorFromValue(int value, const QColor& fallback);

// Decimal digits with an optional sign, within the signed 32-bit range; nothing else
// (no blanks, no empty text) is an integer.
std::optional<int> integerFromText(QStringView text);

// The window style number stored under StayOnTop: 0 an ordinary window, 3 one that
// stays on top. Any other number is read as an ordinary window.
inline constexpr int kOrdinaryWindowStyle = 0;
inline constexpr int kOnTopWindowStyle = 3;
constexpr bool isOnTopStyle(int styleNumber) {
    return styleNumber == kOnTopWindowStyle;
}
constexpr int windowStyleNumber(bool onTop) {
    return onTop ? kOnTopWindowStyle : kOrdinaryWindowStyle;
}

// Whether `path` can name a file at all. An empty path names none, nor does one that
// holds a control character: the system would cut it at a NUL and use what is left,
// and no file name this program makes or offers holds one.
bool isUsablePath(QStringView path);
// Why such a path is refused.
QString unusablePathMessage();

// Folder part of a path, with its trailing separator ("" when the path has none).
QString extractFilePath(QStringView path);
// The part after the last separator.
QString extractFileName(QStringView path);

} // namespace qel

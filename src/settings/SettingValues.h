#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

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

// Folder part of a path, with its trailing separator ("" when the path has none).
QString extractFilePath(QStringView path);
// The part after the last separator.
QString extractFileName(QStringView path);

} // namespace qel

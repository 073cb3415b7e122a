#include "SettingValues.h"

namespace qel {

QString fontStyleName(const QFont& font) {
    if (font.italic())
        return font.bold() ? QStringLiteral("ItalicBold") : QStringLiteral("Italic");
    return font.bold() ? QStringLiteral("Bold") : QStringLiteral("Normal");
}

bool applyFontStyleName(QFont& font, QStringView name) {
    bool bold = false;
    bool italic = false;
    if (name == u"Normal") {
    } else if (name == u"Bold") {
        bold = true;
    } else if (name == u"Italic") {
        italic = true;
    } else if (name == u"ItalicBold") {
        bold = true;
        italic = true;
    } else {
        return false;
    }
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return true;
}

int colorValue(const QColor& color) {
    return color.red() | color.green() << 8 | color.blue() << 16;
}

QColor colorFromValue(int value, const QColor& fallback) {
    if (value < 0 || value > 0xFFFFFF)
        return fallback;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

namespace {

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

qsizetype lastSeparator(QStringView path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]))
            return i;
    return -1;
}

} // namespace

QString extractFilePath(QStringView path) {
    return path.first(lastSeparator(path) + 1).toString();
}

QString extractFileName(QStringView path) {
    return path.sliced(lastSeparator(path) + 1).toString();
}

} // namespace qel

#include "SettingValues.h"

#include <algorithm>
#include <limits>

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

std::optional<int> integerFromText(QStringView s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i == s.size())
        return std::nullopt;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
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

bool isUsablePath(QStringView path) {
    return !path.isEmpty() && std::none_of(path.begin(), path.end(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
}

QString unusablePathMessage() {
    return QStringLiteral("ファイル名に使えない文字（制御文字）が含まれています");
}

QString extractFilePath(QStringView path) {
    return path.first(lastSeparator(path) + 1).toString();
}

QString extractFileName(QStringView path) {
    return path.sliced(lastSeparator(path) + 1).toString();
}

} // namespace qel

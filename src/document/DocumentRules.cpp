#include "DocumentRules.h"

#include "settings/SettingValues.h"

#include <QDir>
#include <QFileInfo>

namespace qel {

QString documentCaption(const QString& windowName, const QString& separator,
                        const QString& documentPath, bool modified) {
    QString caption = windowName + separator + extractFileName(documentPath);
    if (modified)
        caption += QStringView(kModifiedMark);
    return caption;
}

QString caretPanelText(int line, qsizetype column) {
    return QString::number(line + 1) + u" 行目： " + QString::number(column) + u" バイト目";
}

QString sizePanelText(int lines, qsizetype bytes) {
    QString unit = QStringLiteral("bytes");
    if (bytes >= 1024)
        unit = u"bytes(" + QString::number(bytes / 1024) + u"kbytes)";
    return u"全" + QString::number(lines) + u"行" + u"：" + QString::number(bytes) + unit;
}

int sizePanelWidth(qsizetype bytes) {
    return bytes >= 1024 ? 200 : 100;
}

QString fontInfoText(const QFont& font) {
    return font.family() + u",Size:" + QString::number(font.pointSize()) + u"," +
           fontStyleName(font);
}

QString fontHintText(const QFont& font) {
    return font.family() + u", Size:" + QString::number(font.pointSize());
}

QStringList documentFileFilters(bool forSave) {
    struct Filter {
        const char16_t* description;
        const char16_t* patterns;
    };
    static const Filter filters[] = {
        {u"テキストファイル (*.txt)", u"*.txt"},
        {u"ログファイル (*.log)", u"*.log"},
        {u"設定ファイル (*.ini)", u"*.ini"},
        {u"標準テキストファイル (*.txt,*.log,*.ini,*.hed,*.me)", u"*.txt;*.log;*.ini;*.hed;*.me"},
        {u"ZUVMデザインファイル (*.zuvmd)", u"*.zuvmd"},
        {u"ZUVM歌詞ファイル (*.lyr)", u"*.lyr"},
        {u"ZUVM関連ファイル (*.zuvmd,*.lyr)", u"*.zuvmd;*.lyr"},
        {u"C++ ファイル (*.cpp,*.h)", u"*.cpp;*.h"},
        {u"QelEditor設定ファイル (*.Qel,QelW))", u"*.Qel;*.QelW"},
        {u"すべてのテキストファイル",
         u"*.txt;*.log;*.ini;*.hed;*.me;*.zuvmd;*.lyr;*.cpp;*.h;*.Qel;*.QelW"},
        {u"すべてのファイル", u"*.*"},
    };
    QStringList out;
    for (const Filter& f : filters) {
        QString description = QString::fromUtf16(f.description);
        if (forSave && description.endsWith(u"))"))
            description.chop(1);
        QString patterns = QString::fromUtf16(f.patterns);
        patterns.replace(u';', u' ');
        // "*.*" means every file, also those without a dot in their name.
        if (patterns == u"*.*")
            patterns = QStringLiteral("*");
        out << description + u" (" + patterns + u")";
    }
    return out;
}

std::optional<QString> findCommandLineDocument(const QString& pattern) {
    if (pattern.isEmpty())
        return std::nullopt;
    // A folder named as such is taken as named, so that loading it fails and says
    // why; a wildcard matches files only.
    const bool wildcards = pattern.contains(u'*') || pattern.contains(u'?');
    if (!wildcards && QFileInfo(pattern).isDir())
        return pattern;
    const QString folder = extractFilePath(pattern);
    const QString namePattern = extractFileName(pattern);
    if (namePattern.isEmpty())
        return std::nullopt;
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = dir.entryList(
        {namePattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    if (names.isEmpty())
        return std::nullopt;
    return folder + names.first();
}

} // namespace qel

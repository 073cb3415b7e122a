#include "ListFile.h"

#include "FileList.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace qel {

namespace {

const QString kList = QStringLiteral("List");
constexpr char16_t kItem[] = u"Item";

QString widthKey(int column) {
    return u"Items" + QString::number(column) + u"Width";
}

// The position of an entry key "Item" + decimal without leading zeros, as a read of
// that key would match it (letter case aside).
std::optional<int> entryPosition(QStringView key) {
    const QStringView item(kItem);
    if (key.size() <= item.size() || !key.startsWith(item, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView digits = key.sliced(item.size());
    if (digits.size() > 1 && digits.front() == u'0')
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return int(value);
}

} // namespace

QString listSaveQuestion(const QString& listPath) {
    return listPath + u"は変更されています。保存しますか？";
}

ListFileContents readListFile(const IniFile& file) {
    ListFileContents contents;
    ListLook& look = contents.look;
    look.font = file.readString(kList, u"Font", look.font);
    look.fontSize = file.readInteger(kList, u"FontSize", look.fontSize);
    look.fontColor = file.readInteger(kList, u"FontColor", look.fontColor);
    look.color = file.readInteger(kList, u"Color", look.color);
    for (int c = 0; c < int(look.columnWidths.size()); ++c)
        look.columnWidths[size_t(c)] =
            file.readInteger(kList, widthKey(c), look.columnWidths[size_t(c)]);
    look.dateWidthStored =
        integerFromText(file.readString(kList, widthKey(int(SortKey::Date)), QString()))
            .has_value();
    const int count = std::max(0, file.readInteger(kList, u"Count", 0));

    // One pass over the section: the value of each position's first key.
    QHash<int, QString> byPosition;
    int highest = -1;
    for (IniFile::Entry& entry : file.entries(kList)) {
        const std::optional<int> position = entryPosition(entry.key);
        if (!position || *position >= count || byPosition.contains(*position))
            continue;
        highest = std::max(highest, *position);
        byPosition.insert(*position, std::move(entry.value));
    }
    contents.paths.reserve(highest + 1);
    for (int i = 0; i <= highest; ++i)
        contents.paths.append(byPosition.value(i, QString::fromUtf16(kMissingEntryPath)));
    return contents;
}

void writeListFile(IniFile& file, const ListLook& look, const QStringList& paths) {
    std::vector<std::pair<QString, QString>> values;
    values.reserve(size_t(paths.size()) + 9);
    values.emplace_back(QStringLiteral("Font"), look.font);
    values.emplace_back(QStringLiteral("FontSize"), QString::number(look.fontSize));
    values.emplace_back(QStringLiteral("FontColor"), QString::number(look.fontColor));
    values.emplace_back(QStringLiteral("Color"), QString::number(look.color));
    for (int c = 0; c < int(look.columnWidths.size()); ++c)
        values.emplace_back(widthKey(c), QString::number(look.columnWidths[size_t(c)]));
    values.emplace_back(QStringLiteral("Count"), QString::number(paths.size()));
    for (qsizetype i = 0; i < paths.size(); ++i)
        values.emplace_back(kItem + QString::number(i), paths[i]);
    file.writeStrings(kList, values);
}

FileListState readFileListState(const IniFile& master, const QString& defaultListFile) {
    FileListState state;
    state.visible = master.readBool(kFileListSection, u"Visible", false);
    state.listFile = master.readString(kFileListSection, u"UseListFile", defaultListFile);
    return state;
}

void writeFileListState(IniFile& master, const FileListState& state) {
    master.writeBool(kFileListSection, u"Visible", state.visible);
    master.writeString(kFileListSection, u"UseListFile", state.listFile);
}

} // namespace qel

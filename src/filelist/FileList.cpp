#include "FileList.h"

#include "settings/SettingValues.h"
#include "text/Cp932.h"

#include <QCollatorSortKey>
#include <QFileInfo>

#include <algorithm>
#include <numeric>

namespace qel {

namespace {

const char16_t* const kHeaders[kColumnCount] = {u"ファイル名", u"更新日", u"FileSize(bytes)",
                                                u"フルパス"};

// Up to this many new entries are placed one by one rather than sorted in.
constexpr size_t kFewRows = 32;

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

Qt::Alignment columnAlignment(int column) {
    return (column == int(SortKey::Size) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

} // namespace

QString dayText(const QDateTime& modified, const QLocale& locale) {
    return locale.toString(modified.date(), QLocale::ShortFormat);
}

std::optional<ListEntry> entryForFile(const QString& path, const QLocale& locale) {
    if (!isUsablePath(path))
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return ListEntry{extractFileName(path), dayText(info.lastModified(), locale), info.size(),
                     path};
}

QByteArray textOrderKey(QStringView text) {
    QByteArray bytes = cp932::encode(text);
    char* b = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (isLeadByte(c))
            ++i; // its trail byte is no letter, whatever its value
        else if (c >= 'a' && c <= 'z')
            b[i] = char(c - 'a' + 'A');
    }
    return bytes;
}

QString missingOnAddMessage(const QString& path) {
    return path + u"を見つけられませんでした。\n登録後に他の場所へ移動されたか\n"
                  u"削除された可能性があります。";
}

QString missingOnReadMessage(const QStringList& paths) {
    if (paths.size() == 1)
        return missingOnAddMessage(paths.front());
    QString text = QStringLiteral("次の %1 個のファイルを見つけられませんでした。\n"
                                  "登録後に他の場所へ移動されたか\n"
                                  "削除された可能性があります。\n")
                       .arg(paths.size());
    for (const QString& path : paths.first(std::min<qsizetype>(paths.size(), kMissingListedAtMost)))
        text += u'\n' + path;
    if (paths.size() > kMissingListedAtMost)
        text += QStringLiteral("\nほか %1 個").arg(paths.size() - kMissingListedAtMost);
    return text;
}

QString duplicateMessage(const QString& path) {
    return path + u"は既にリストに存在します";
}

QString missingOnOpenMessage(const QString& path) {
    return path + u"が見つかりません。\n確認をお願いします";
}

FileList::FileList(const QLocale& locale, QObject* parent)
    : QAbstractTableModel(parent), locale_(locale), collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

QStringList FileList::fullPaths() const {
    QStringList paths;
    paths.reserve(size());
    for (const Row& row : rows_)
        paths.append(row.entry.fullPath);
    return paths;
}

FileList::Row FileList::makeRow(ListEntry entry) {
    Row row;
    row.sequence = nextSequence_++;
    row.dateKey = textOrderKey(entry.date);
    row.pathKey = textOrderKey(entry.fullPath);
    row.entry = std::move(entry);
    return row;
}

int FileList::compareKeys(const Row& a, const Row& b) const {
    switch (key_) {
    case SortKey::Name:
        return collator_.compare(a.entry.name, b.entry.name);
    case SortKey::Date:
        return a.dateKey.compare(b.dateKey);
    case SortKey::Size:
        return a.entry.size < b.entry.size ? -1 : a.entry.size > b.entry.size ? 1 : 0;
    case SortKey::FullPath:
        return a.pathKey.compare(b.pathKey);
    }
    return 0;
}

bool FileList::less(const Row& a, const Row& b) const {
    const int c = compareKeys(a, b);
    return c < 0 || (c == 0 && a.sequence < b.sequence);
}

qsizetype FileList::placeFor(const Row& row) const {
    const auto at = std::upper_bound(rows_.begin(), rows_.end(), row,
                                     [this](const Row& a, const Row& b) { return less(a, b); });
    return at - rows_.begin();
}

std::optional<ListEntry> FileList::check(const QString& path, AddOutcome& outcome) const {
    std::optional<ListEntry> entry = entryForFile(path, locale_);
    if (!entry)
        outcome = AddOutcome::Missing;
    else if (listed_.contains(path.toCaseFolded()))
        outcome = AddOutcome::Duplicate;
    else
        outcome = AddOutcome::Added;
    return outcome == AddOutcome::Added ? entry : std::nullopt;
}

AddOutcome FileList::add(const QString& path) {
    return addAll({path}).front();
}

void FileList::insertRow(Row row) {
    const qsizetype at = placeFor(row);
    beginInsertRows({}, int(at), int(at));
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
}

std::vector<AddOutcome> FileList::addAll(const QStringList& paths) {
    std::vector<AddOutcome> outcomes;
    outcomes.reserve(size_t(paths.size()));
    std::vector<Row> added;
    for (const QString& path : paths) {
        AddOutcome outcome;
        if (std::optional<ListEntry> entry = check(path, outcome)) {
            listed_.insert(path.toCaseFolded());
            added.push_back(makeRow(std::move(*entry)));
        }
        outcomes.push_back(outcome);
    }
    // A few go to their places one by one; many are appended and sorted once, each
    // ending after the ones it ties with, as one by one.
    if (added.size() <= kFewRows) {
        for (Row& row : added)
            insertRow(std::move(row));
        return outcomes;
    }
    beginInsertRows({}, int(size()), int(size() + qsizetype(added.size()) - 1));
    rows_.insert(rows_.end(), std::make_move_iterator(added.begin()),
                 std::make_move_iterator(added.end()));
    endInsertRows();
    sortRows();
    return outcomes;
}

void FileList::remove(qsizetype row) {
    if (row < 0 || row >= size())
        return;
    beginRemoveRows({}, int(row), int(row));
    listed_.remove(rows_[size_t(row)].entry.fullPath.toCaseFolded());
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void FileList::clear() {
    beginResetModel();
    rows_.clear();
    listed_.clear();
    endResetModel();
}

void FileList::sortBy(SortKey key) {
    key_ = key;
    sortRows();
}

void FileList::sortRows() {
    const size_t n = rows_.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    // Names are compared through collation keys made once per entry; the C locale
    // has none that ignore letter case, so there the collator compares.
    if (key_ == SortKey::Name && collator_.locale().language() != QLocale::C) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (const Row& row : rows_)
            keys.push_back(collator_.sortKey(row.entry.name));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            const int c = keys[a].compare(keys[b]);
            return c < 0 || (c == 0 && rows_[a].sequence < rows_[b].sequence);
        });
    } else {
        std::sort(order.begin(), order.end(),
                  [this](size_t a, size_t b) { return less(rows_[a], rows_[b]); });
    }
    if (std::is_sorted(order.begin(), order.end()))
        return;

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(n);
    std::vector<int> newRow(n);
    for (size_t i = 0; i < n; ++i) {
        sorted.push_back(std::move(rows_[order[i]]));
        newRow[order[i]] = int(i);
    }
    rows_ = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[size_t(index.row())], index.column()));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FileList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int FileList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FileList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(index.column()));
    if (role != Qt::DisplayRole)
        return {};
    const ListEntry& e = rows_[size_t(index.row())].entry;
    switch (SortKey(index.column())) {
    case SortKey::Name:
        return e.name;
    case SortKey::Date:
        return e.date;
    case SortKey::Size:
        return QString::number(e.size);
    case SortKey::FullPath:
        return e.fullPath;
    }
    return {};
}

QVariant FileList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf16(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section));
    return {};
}

} // namespace qel

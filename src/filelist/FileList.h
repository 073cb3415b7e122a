#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The file list: its entries, the checks a file goes through to be added, and the
// orders it can be sorted in. A table model, so that a view shows it as it stands.
namespace qel {

// The columns, which are also the sort keys.
enum class SortKey : int { Name = 0, Date = 1, Size = 2, FullPath = 3 };
inline constexpr int kColumnCount = 4;

// One row: the texts are made when the file is added and never refreshed.
struct ListEntry {
    QString name;     // file-name part of the full path
    QString date;     // day of the last change in the locale's short date format
    qint64 size = 0;  // in bytes
    QString fullPath; // as it was given
};

// The entry for a file, or nothing when no file is there (a folder is not a file, and
// a path holding a control character names none).
std::optional<ListEntry> entryForFile(const QString& path, const QLocale& locale);
// The day of `modified` as the short date of `locale` (a Japanese locale: 2002/05/01).
QString dayText(const QDateTime& modified, const QLocale& locale);

// Order of dates and full paths: the code page 932 bytes, ASCII letters without case.
// Gives the bytes to compare; a trail byte of a double-byte character stays as it is.
QByteArray textOrderKey(QStringView text);

enum class AddOutcome { Added, Missing, Duplicate };

// The messages the add and open steps show.
QString missingOnAddMessage(const QString& path);
QString duplicateMessage(const QString& path);
QString missingOnOpenMessage(const QString& path);
// The one message for the entries of a list file that were not found when it was read:
// for one entry the add step's message; for more, the paths one a line, the first
// kMissingListedAtMost of them, and how many more there are.
inline constexpr int kMissingListedAtMost = 20;
QString missingOnReadMessage(const QStringList& paths);

class FileList : public QAbstractTableModel {
    Q_OBJECT
public:
    // `locale` gives the date texts and the order of names.
    explicit FileList(const QLocale& locale = QLocale::system(), QObject* parent = nullptr);

    qsizetype size() const { return qsizetype(rows_.size()); }
    const ListEntry& entry(qsizetype row) const { return rows_[size_t(row)].entry; }
    QStringList fullPaths() const; // in display order
    SortKey sortKey() const { return key_; }
    // The locale of the date texts.
    const QLocale& locale() const { return locale_; }

    // The add step: a file that is not there, or whose full path is listed already
    // (letter case aside), is refused; otherwise its entry takes its place by the
    // current key, after the entries it ties with.
    AddOutcome add(const QString& path);
    // Each path in turn as add() would take it, with the same outcomes, but sorted once.
    std::vector<AddOutcome> addAll(const QStringList& paths);
    void remove(qsizetype row);
    void clear();
    // Sorts by `key`, always ascending; entries that compare equal stay in the order
    // they were added in.
    void sortBy(SortKey key);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        ListEntry entry;
        QByteArray dateKey;
        QByteArray pathKey;
        quint64 sequence = 0; // when it was added: ties keep that order
    };
    Row makeRow(ListEntry entry);
    // Where `row` goes by the current key: after every entry not greater than it.
    qsizetype placeFor(const Row& row) const;
    int compareKeys(const Row& a, const Row& b) const; // by the current key alone
    bool less(const Row& a, const Row& b) const;
    // Checks `path`; on success the entry to add.
    std::optional<ListEntry> check(const QString& path, AddOutcome& outcome) const;
    void insertRow(Row row); // at its place by the current key
    // Puts the rows in order by the current key, telling the views where each went.
    void sortRows();

    QLocale locale_;
    QCollator collator_;
    std::vector<Row> rows_;
    QSet<QString> listed_; // the full paths, case-folded
    SortKey key_ = SortKey::Name;
    quint64 nextSequence_ = 0;
};

} // namespace qel

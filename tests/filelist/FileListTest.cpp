// The file list without a window: which files get in, what their rows show, and the
// four orders.
#include "filelist/FileList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

class FileListTest : public ::testing::Test {
protected:
    // A file of `size` bytes (sparse, so a huge one costs nothing) changed at `modified`.
    QString make(const QString& name, qint64 size = 0,
                 const QDateTime& modified = QDateTime(QDate(2002, 5, 1), QTime(12, 0))) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        EXPECT_TRUE(f.resize(size));
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        return path;
    }
    static QStringList column(const FileList& list, SortKey key) {
        QStringList out;
        for (int r = 0; r < list.rowCount(); ++r)
            out << list.index(r, int(key)).data().toString();
        return out;
    }

    QTemporaryDir dir_;
    QLocale japanese_{QLocale::Japanese, QLocale::Japan};
};

TEST_F(FileListTest, OnlyFilesThatAreThereAndNotListedYetGetIn) {
    FileList list(japanese_);
    const QString a = make(u"a.txt"_s, 5);
    const QString b = make(u"b.txt"_s);
    QDir(dir_.path()).mkdir(u"folder"_s);
    struct Case {
        QString path;
        AddOutcome outcome;
    };
    const Case cases[] = {
        {a, AddOutcome::Added},
        {a, AddOutcome::Duplicate},
        {a.toUpper(), AddOutcome::Missing}, // not there: the existence check comes first
        {dir_.filePath(u"A.TXT"_s), AddOutcome::Missing},
        {dir_.filePath(u"folder"_s), AddOutcome::Missing},
        {dir_.filePath(u"gone.txt"_s), AddOutcome::Missing},
        {u"non"_s, AddOutcome::Missing},
        // A path holding a control character names no file, even where the system
        // would find one: at the NUL it would cut the path, the tab is in a name.
        {b + QChar(0) + u"more", AddOutcome::Missing},
        {make(u"tab\there.txt"_s), AddOutcome::Missing},
        {b, AddOutcome::Added},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.add(c.path), c.outcome) << c.path.toStdString();
    EXPECT_EQ(list.fullPaths(), (QStringList{a, b}));

    // The same path in another letter case is the same entry, wherever the file is.
    const QString upper = make(u"UP.txt"_s);
    const QString lower = make(u"up.txt"_s);
    EXPECT_EQ(list.add(upper), AddOutcome::Added);
    EXPECT_EQ(list.add(lower), AddOutcome::Duplicate);

    // Several at once: the same outcomes in the same order, a repeat within the batch
    // included; a removed entry can come back.
    list.remove(0);
    EXPECT_EQ(
        list.addAll({b, a, a.toUpper(), dir_.filePath(u"gone"_s), a}),
        (std::vector<AddOutcome>{AddOutcome::Duplicate, AddOutcome::Added, AddOutcome::Missing,
                                 AddOutcome::Missing, AddOutcome::Duplicate}));
    EXPECT_EQ(list.size(), 3);
    list.clear();
    EXPECT_EQ(list.add(a), AddOutcome::Added);
}

TEST(FileListMessages, EntriesNotFoundInAListFileAreReportedInOneMessage) {
    const QString lead = u"を見つけられませんでした。\n登録後に他の場所へ移動されたか\n"
                         u"削除された可能性があります。"_s;
    EXPECT_EQ(missingOnReadMessage({u"/a"_s}), missingOnAddMessage(u"/a"_s));
    EXPECT_EQ(missingOnReadMessage({u"/a"_s, u"/b"_s}),
              u"次の 2 個のファイル"_s + lead + u"\n\n/a\n/b");
    // Twenty are named, the rest counted.
    QStringList many;
    for (int i = 0; i < 23; ++i)
        many << u"/f%1"_s.arg(i);
    EXPECT_EQ(missingOnReadMessage(many), u"次の 23 個のファイル"_s + lead + u"\n\n"_s +
                                              many.first(20).join(u'\n') + u"\nほか 3 個");
    EXPECT_FALSE(missingOnReadMessage(many.first(20)).contains(u"ほか"));
}

TEST_F(FileListTest, RowsShowNameDaySizeAndPathWithTheirHeaders) {
    FileList list(japanese_);
    const QString path = make(u"日本語.txt"_s, 1234, QDateTime(QDate(2002, 5, 1), QTime(23, 59)));
    ASSERT_EQ(list.add(path), AddOutcome::Added);
    EXPECT_EQ(list.columnCount(), 4);
    QStringList headers, row;
    for (int c = 0; c < 4; ++c) {
        headers << list.headerData(c, Qt::Horizontal).toString();
        row << list.index(0, c).data().toString();
        // The size column is right-aligned, header and cells; the others left.
        const Qt::Alignment expected = c == 2 ? Qt::AlignRight : Qt::AlignLeft;
        EXPECT_TRUE(list.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & expected);
        EXPECT_TRUE(
            list.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
            expected);
    }
    EXPECT_EQ(headers,
              (QStringList{u"ファイル名"_s, u"更新日"_s, u"FileSize(bytes)"_s, u"フルパス"_s}));
    EXPECT_EQ(row, (QStringList{u"日本語.txt"_s, u"2002/05/01"_s, u"1234"_s, path}));
    // The day follows the locale's short date format.
    EXPECT_EQ(dayText(QDateTime(QDate(2002, 5, 1), QTime(9, 0)),
                      QLocale(QLocale::English, QLocale::UnitedStates)),
              u"5/1/02"_s);

    // Sizes past 2 GiB are shown whole, without separators.
    const QString huge = make(u"huge.bin"_s, 5'000'000'000LL);
    ASSERT_EQ(list.add(huge), AddOutcome::Added);
    EXPECT_TRUE(column(list, SortKey::Size).contains(u"5000000000"_s));
}

TEST_F(FileListTest, EachKeySortsAscendingAndTiesKeepTheirOrder) {
    const QDateTime day(QDate(2002, 5, 1), QTime(12, 0));
    // Added in this order; each case lists the names expected after sorting.
    const struct {
        const char16_t* name;
        qint64 size;
        QDate date;
    } files[] = {
        {u"b.txt", 10, {2002, 9, 1}},
        {u"A.txt", 9, {2002, 10, 1}},
        {u"sub/a.TXT", 3'000'000'000LL, {2002, 5, 1}},
        {u"_x.txt", 9, {2002, 5, 1}},
        {u"ヂ.txt", 100, {2001, 1, 1}},
        {u"ア.txt", 2, {2002, 5, 1}},
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    FileList list(us);
    QDir(dir_.path()).mkdir(u"sub"_s);
    for (const auto& f : files)
        ASSERT_EQ(list.add(make(QString::fromUtf16(f.name), f.size, QDateTime(f.date, day.time()))),
                  AddOutcome::Added);

    struct Case {
        SortKey key;
        QStringList names;
    };
    const Case cases[] = {
        // Letter case aside, "A.txt" and "a.TXT" tie and keep the order they came in.
        {SortKey::Name,
         {u"_x.txt"_s, u"A.txt"_s, u"a.TXT"_s, u"b.txt"_s, u"ア.txt"_s, u"ヂ.txt"_s}},
        // Numbers, not texts: 9 before 10, and 3 GB last.
        {SortKey::Size,
         {u"ア.txt"_s, u"A.txt"_s, u"_x.txt"_s, u"b.txt"_s, u"ヂ.txt"_s, u"a.TXT"_s}},
        // The date texts "1/1/01", "10/1/02", "5/1/02", "9/1/02" in text order.
        {SortKey::Date,
         {u"ヂ.txt"_s, u"A.txt"_s, u"a.TXT"_s, u"_x.txt"_s, u"ア.txt"_s, u"b.txt"_s}},
        // ASCII letters without case ("b" before "sub/" before "_"), then the
        // double-byte names by their bytes: ア (83 41) before ヂ (83 61).
        {SortKey::FullPath,
         {u"A.txt"_s, u"b.txt"_s, u"a.TXT"_s, u"_x.txt"_s, u"ア.txt"_s, u"ヂ.txt"_s}},
    };
    for (const Case& c : cases) {
        for (int twice = 0; twice < 2; ++twice) { // repeating a key never reverses it
            list.sortBy(c.key);
            EXPECT_EQ(column(list, SortKey::Name), c.names) << "key " << int(c.key);
        }
    }

    // An entry added later takes its place by the key in force.
    list.sortBy(SortKey::Size);
    ASSERT_EQ(list.add(make(u"z.txt"_s, 9)), AddOutcome::Added);
    EXPECT_EQ(column(list, SortKey::Name),
              (QStringList{u"ア.txt"_s, u"A.txt"_s, u"_x.txt"_s, u"z.txt"_s, u"b.txt"_s,
                           u"ヂ.txt"_s, u"a.TXT"_s}));
    list.sortBy(SortKey::Name);
    ASSERT_EQ(list.addAll({make(u"sub/B.TXT"_s, 1)}).front(), AddOutcome::Added);
    EXPECT_EQ(column(list, SortKey::Name).mid(3, 2), (QStringList{u"b.txt"_s, u"B.TXT"_s}));
}

TEST_F(FileListTest, ManyAddedAtOnceEndAsAddedOneByOne) {
    // Enough to be sorted in rather than placed one by one; names, sizes and whole
    // paths repeat.
    QStringList paths;
    for (int i = 0; i < 60; ++i) {
        QDir(dir_.path()).mkpath(QString::number(i % 7));
        paths << make(u"%1/%2.txt"_s.arg(i % 7).arg(QChar(u'a' + i % 5)), i % 3);
    }
    for (SortKey key : {SortKey::Name, SortKey::Size, SortKey::FullPath}) {
        FileList together(japanese_), oneByOne(japanese_);
        together.sortBy(key);
        oneByOne.sortBy(key);
        together.add(paths[59]); // an entry already there when the others come
        oneByOne.add(paths[59]);
        together.addAll(paths);
        for (const QString& p : paths)
            oneByOne.add(p);
        EXPECT_EQ(together.fullPaths(), oneByOne.fullPaths()) << int(key);
        EXPECT_EQ(together.size(), 35); // 35 different paths, the repeats refused
    }
}

TEST_F(FileListTest, FoldingLeavesTrailBytesAlone) {
    // "ヂ" is 83 61: its trail byte is the letter "a" and must not be folded.
    EXPECT_EQ(textOrderKey(u"aZ_ヂ"_s), QByteArray("AZ_\x83\x61"));
}

} // namespace
} // namespace qel

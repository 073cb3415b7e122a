// The journal a document's edits write, and what a later start makes of it: random
// edit scripts come back exactly as they stood at the last flush; the journal exists
// only while the text differs from what it started from; what a program left is found
// unless it still runs, and comes back with its path, as an untitled document, or not
// at all, as the file it started from allows.
#include "recovery/EditJournal.h"
#include "../TestFiles.h"
#include "../TestPrinters.h"
#include "recovery/AbandonedWork.h"
#include "recovery/Digest.h"
#include "recovery/RecoveryFolder.h"
#include "text/Cp932.h"
#include "textmodel/TextDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

using namespace qel;
using namespace qel::recovery;
using namespace Qt::StringLiterals;

namespace {

// The journal's timer needs an application object.
class CoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "recovery_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CoreEnvironment);

// A document with its journal, as the main window keeps them: loaded from a file (or
// new and untitled), saved text marked, the journal starting from it.
struct Editing {
    QTemporaryDir dir;
    QString folder = dir.filePath(u"recovery"_s);
    std::unique_ptr<RecoverySession> session = std::make_unique<RecoverySession>(folder);
    textmodel::TextDocument doc;
    EditJournal journal{doc, *session};

    void load(const QString& path) {
        doc.load(cp932::decode(contentOf(path)));
        doc.clearHistory();
        doc.markSaved();
        journal.startFrom(path, true);
    }
    // Writes what is waiting and waits until it is on the disk.
    void flushed() {
        journal.flush();
        journal.waitUntilWritten();
    }
    QString journalPath() const { return session->journalPath(); }
    bool hasJournal() const { return QFile::exists(journalPath()); }
    JournalContents contents() const { return readJournal(contentOf(journalPath())); }
    // The program ends without a word, as a kill leaves it.
    std::vector<AbandonedWork> crashAndFind() {
        session.reset();
        return AbandonedWork::findIn(folder);
    }
};

// The text the journal on the disk gives back, replayed onto `start`.
QString replayedOnto(const QByteArray& start, const JournalContents& journal) {
    textmodel::TextDocument doc;
    doc.load(cp932::decode(start));
    replay(journal, doc);
    return doc.text();
}

} // namespace

TEST(EditJournal, RandomEditsComeBackAsTheyStoodAtTheLastFlush) {
    const QStringList pieces = {
        u"a"_s,     u"日本語"_s, u"\n"_s, u"①"_s, QString(QChar(cp932::reservedFor(0x81))),
        u"xyz\nw"_s};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        Editing e;
        const QString file = e.dir.filePath(u"doc.txt"_s);
        const QByteArray original = cp932::encode(u"一行目\nsecond line\n\n四行目の終わり"_s);
        ASSERT_TRUE(put(file, original));
        e.load(file);
        QString flushedText = e.doc.text();
        for (int step = 0; step < 300; ++step) {
            const qsizetype length = e.doc.length();
            const qsizetype at = length ? qsizetype(random() % (length + 1)) : 0;
            switch (random() % 9) {
            case 0:
            case 1:
            case 2: // typing
                e.doc.replace(at, 0, pieces[random() % pieces.size()], nullptr,
                              textmodel::EditKind::TypedInsert);
                break;
            case 3: // Backspace
                if (at > 0)
                    e.doc.replace(at - 1, 1, QString(), nullptr, textmodel::EditKind::TypedDelete);
                break;
            case 4: // a paste over a selection
                e.doc.replace(at, std::min<qsizetype>(length - at, random() % 5), u"貼り付け\n"_s);
                break;
            case 5: { // Replace All of one character
                std::vector<qsizetype> positions;
                for (qsizetype p = 0; p < e.doc.length(); ++p)
                    if (e.doc.at(p) == u'n')
                        positions.push_back(p + qsizetype(positions.size()) * 1);
                if (!positions.empty())
                    e.doc.replaceInTurn(positions, 1, u"NN"_s);
                break;
            }
            case 6:
                e.doc.undo();
                break;
            case 7:
                e.doc.redo();
                break;
            case 8:
                e.flushed();
                flushedText = e.doc.text();
                if (flushedText == cp932::decodeText(original)) {
                    // Back where it started: nothing to recover.
                    ASSERT_FALSE(e.hasJournal());
                } else {
                    ASSERT_TRUE(e.hasJournal());
                    ASSERT_EQ(replayedOnto(original, e.contents()), flushedText);
                }
                break;
            }
        }
        // What a crash leaves: the text as it stood at the last flush, no later edit.
        std::vector<AbandonedWork> found = e.crashAndFind();
        if (flushedText == cp932::decodeText(original)) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u);
        RecoveredText back = found[0].recover();
        ASSERT_TRUE(back.text);
        EXPECT_EQ(back.text->text(), flushedText);
        EXPECT_TRUE(back.editsOfFile);
        EXPECT_EQ(back.documentPath, file);
    }
}

TEST(EditJournal, TypingAReplaceAllAndAPasteEachMakeOneEntry) {
    Editing e;
    const QString file = e.dir.filePath(u"big.txt"_s);
    // 100,000 lines "line\n", each with one "e".
    QByteArray lines;
    for (int i = 0; i < 100000; ++i)
        lines += "line\r\n";
    ASSERT_TRUE(put(file, lines));
    e.load(file);

    struct Case {
        const char* what;
        std::function<void()> edit;
        qsizetype largestEntry; // in bytes
    };
    std::vector<qsizetype> es;
    for (qsizetype i = 0; i < 100000; ++i)
        es.push_back(i * 5 + 3 + i * 2); // each "e" becomes "EEE": the text grows by 2
    const QString tenMegabytes(10 << 20, u'x');
    // The origin (with the file's bytes) is written with the first edit.
    e.doc.replace(0, 0, u"!"_s);
    e.flushed();
    const std::vector<Case> cases = {
        {"typing a line",
         [&] {
             qsizetype at = 0;
             for (QChar c : u"typed at the top\n"_s)
                 e.doc.replace(at++, 0, QString(c), nullptr, textmodel::EditKind::TypedInsert);
         },
         200},
        {"Replace All of 100,000", [&] { e.doc.replaceInTurn(es, 1, u"EEE"_s); }, 200000},
        {"a paste of 10 MB", [&] { e.doc.replace(0, 0, tenMegabytes); }, (20 << 20) + 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const qsizetype before = contentOf(e.journalPath()).size();
        const std::size_t editsBefore = e.contents().edits.size();
        c.edit();
        e.flushed();
        const JournalContents read = e.contents();
        ASSERT_FALSE(read.damaged);
        EXPECT_LT(contentOf(e.journalPath()).size() - before, c.largestEntry);
        EXPECT_EQ(read.edits.size(), editsBefore + 1);
    }
    EXPECT_EQ(replayedOnto(lines, e.contents()), e.doc.text());
}

TEST(EditJournal, ItExistsOnlyWhileTheTextDiffersFromWhereItStarted) {
    Editing e;
    const QString file = e.dir.filePath(u"doc.txt"_s);
    ASSERT_TRUE(put(file, "abc"));
    e.load(file);
    // Nothing on the disk before the first edit, not even the folder.
    e.flushed();
    EXPECT_FALSE(QFileInfo::exists(e.folder));
    e.doc.replace(3, 0, u"d"_s);
    // Not before the delay, unless asked.
    EXPECT_FALSE(e.hasJournal());
    e.flushed();
    ASSERT_TRUE(e.hasJournal());
#ifdef Q_OS_UNIX
    // Open to its owner only: 0600 in a folder of 0700.
    constexpr int kGroupAndOthers = 0x0077;
    EXPECT_EQ(QFile::permissions(e.journalPath()) & kGroupAndOthers, 0);
    EXPECT_TRUE(QFile::permissions(e.journalPath()) & QFile::WriteOwner);
    EXPECT_EQ(QFile::permissions(e.folder) & kGroupAndOthers, 0);
#endif
    // Typed away again: nothing to recover.
    e.doc.replace(3, 1, QString());
    e.flushed();
    EXPECT_FALSE(e.hasJournal());
    // The timer writes it within the delay.
    EditJournal::setFlushDelay(std::chrono::milliseconds(50));
    e.doc.replace(0, 0, u"x"_s);
    e.journal.waitUntilWritten();
    EXPECT_FALSE(e.hasJournal());
    for (int i = 0; i < 100 && !e.hasJournal(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        e.journal.waitUntilWritten();
    }
    EditJournal::setFlushDelay(std::chrono::milliseconds(1000));
    EXPECT_TRUE(e.hasJournal());
    // Saved, or let go: it goes.
    ASSERT_TRUE(put(file, cp932::encode(e.doc.text())));
    e.doc.markSaved();
    e.journal.startFrom(file, true);
    e.journal.waitUntilWritten();
    EXPECT_FALSE(e.hasJournal());
    e.doc.replace(0, 0, u"y"_s);
    e.flushed();
    EXPECT_TRUE(e.hasJournal());
    e.journal.discard();
    e.journal.waitUntilWritten();
    EXPECT_FALSE(e.hasJournal());
    // At the end only the folder may stay, and only while it holds something.
    e.session.reset();
    EXPECT_FALSE(QFileInfo::exists(e.folder));
}

TEST(EditJournal, ALongJournalIsWrittenAgainAsTheTextItTouched) {
    Editing e;
    const QString file = e.dir.filePath(u"doc.txt"_s);
    ASSERT_TRUE(put(file, QByteArray(100000, 'a')));
    e.load(file);
    // Edits over and over in a few places: far more journal than text they touched.
    qint64 largest = 0, written = 0;
    int shrank = 0;
    for (int flush = 0; flush < 200; ++flush) {
        for (int place = 0; place < 10; ++place)
            e.doc.replace(50000 + place * 2000, flush ? 1000 : 0,
                          QString(1000, QChar(u'0' + (flush + place) % 10)));
        const qint64 before = QFileInfo(e.journalPath()).size();
        e.flushed();
        const qint64 size = QFileInfo(e.journalPath()).size();
        written += std::max<qint64>(0, size - before);
        shrank += size < before;
        largest = std::max(largest, size);
    }
    EXPECT_GT(written, 3 * EditJournal::kCompactAbove);
    EXPECT_GE(shrank, 1);
    // Never much more than the limit and the 20 kB each flush adds.
    EXPECT_LT(largest, EditJournal::kCompactAbove + 100000);
    const JournalContents read = e.contents();
    EXPECT_FALSE(read.damaged);
    EXPECT_EQ(replayedOnto(QByteArray(100000, 'a'), read), e.doc.text());
    // Written again, it is still open to its owner only.
#ifdef Q_OS_UNIX
    EXPECT_EQ(QFile::permissions(e.journalPath()) & 0x0077, 0);
#endif
}

TEST(AbandonedWork, WhatComesBackDependsOnTheFileTheEditsStartedFrom) {
    struct Case {
        const char* what;
        QByteArray original;
        std::function<void(const QString& file)> afterwards; // done to the file meanwhile
        AbandonedWork::Outcome outcome;
        bool withPath;
    };
    // "≒" in the code of the NEC rows, which it keeps.
    const QByteArray small = "first\r\n\x87\x90second\r\n";
    const QByteArray big(EditJournal::kOriginBytesKept + 1, 'b');
    const auto change = [](const QString& file) { put(file, "changed by someone else"); };
    const std::vector<Case> cases = {
        {"unchanged", small, [](const QString&) {}, AbandonedWork::Outcome::Document, true},
        {"changed, small", small, change, AbandonedWork::Outcome::Untitled, false},
        {"removed, small", small, [](const QString& f) { QFile::remove(f); },
         AbandonedWork::Outcome::Untitled, false},
        {"changed, too big to keep", big, change, AbandonedWork::Outcome::Lost, false},
        {"unchanged, big", big, [](const QString&) {}, AbandonedWork::Outcome::Document, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Editing e;
        const QString file = e.dir.filePath(u"doc.txt"_s);
        ASSERT_TRUE(put(file, c.original));
        e.load(file);
        e.doc.replace(2, 1, u"編集"_s);
        const QString edited = e.doc.text();
        e.flushed();
        c.afterwards(file);
        std::vector<AbandonedWork> found = e.crashAndFind();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].outcome(), c.outcome);
        EXPECT_EQ(found[0].documentPath(), file);
        EXPECT_EQ(found[0].bytes(), cp932::byteLength(edited));
        const RecoveredText back = found[0].recover();
        if (c.outcome == AbandonedWork::Outcome::Lost) {
            EXPECT_FALSE(back.text);
            continue;
        }
        ASSERT_TRUE(back.text);
        EXPECT_EQ(back.text->text(), edited);
        EXPECT_EQ(back.documentPath, c.withPath ? file : QString());
        EXPECT_EQ(back.editsOfFile, c.withPath);
        // Characters the document had in other codes keep them.
        EXPECT_EQ(back.text->encoded(), e.doc.encoded());
    }
}

TEST(AbandonedWork, OnlyWhatAProgramNoLongerRunningLeftIsFound) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"recovery"_s);
    // A running program (its lock held here), one that was killed, and one killed before
    // anything but its origin reached the disk.
    RecoverySession running(folder);
    ASSERT_TRUE(running.prepare(nullptr));
    const QByteArray untitled = journalHeading() + originEntry({}) +
                                editEntry({0, 0, u"lost words"_s, {}}) +
                                markEntry({1700000000000, 10, 10, 0});
    ASSERT_TRUE(put(running.journalPath(), untitled));
    ASSERT_TRUE(put(folder + u"/1-a-b.journal"_s, untitled));
    ASSERT_TRUE(put(folder + u"/2-a-b.journal"_s, journalHeading() + originEntry({})));
    // And one killed with nothing unsaved: its lock alone, naming a process that is gone.
    QByteArray lock = contentOf(running.lockPath());
    lock = "2147483600" + lock.mid(lock.indexOf('\n'));
    ASSERT_TRUE(put(folder + u"/3-a-b.lock"_s, lock));
    std::vector<AbandonedWork> found = AbandonedWork::findIn(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].outcome(), AbandonedWork::Outcome::Document);
    EXPECT_TRUE(found[0].documentPath().isEmpty());
    EXPECT_EQ(found[0].recover().text->text(), u"lost words"_s);
    // The empty one and the lone lock are gone; the found one stays until discarded,
    // and is not found a second time while this start holds it.
    EXPECT_FALSE(QFile::exists(folder + u"/2-a-b.journal"_s));
    EXPECT_FALSE(QFile::exists(folder + u"/3-a-b.lock"_s));
    EXPECT_TRUE(AbandonedWork::findIn(folder).empty());
    found[0].discard();
    found.clear();
    EXPECT_TRUE(AbandonedWork::findIn(folder).empty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QFileInfo(running.journalPath()).fileName(),
                           QFileInfo(running.lockPath()).fileName()}));
}

TEST(AbandonedWork, TheQuestionSaysWhichDocumentWhenAndHowMuch) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"recovery"_s);
    ASSERT_TRUE(makePrivateFolder(folder, nullptr));
    const QDateTime when(QDate(2024, 5, 6), QTime(7, 8, 9));
    const QByteArray journal = journalHeading() + originEntry({}) +
                               editEntry({0, 0, u"あいう"_s, {}}) +
                               markEntry({when.toMSecsSinceEpoch(), 3, 6, 0}) + "garbage";
    ASSERT_TRUE(put(folder + u"/9-x-y.journal"_s, journal));
    const std::vector<AbandonedWork> found = AbandonedWork::findIn(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(recoveryQuestion(found[0]),
              u"前回、保存されないまま終了した編集内容があります。\n\n"
              u"文書：UnTitledDoc\n最終編集：2024/05/06 07:08:09\n大きさ：6 バイト\n"
              u"（控えの終わりが壊れています。その前までを復元します）\n\n復元しますか？"_s);
    EXPECT_EQ(recoveryButtons(found[0]),
              (QStringList{u"復元する"_s, u"破棄する"_s, u"後で決める"_s}));
}

TEST(RecoveryFolder, BesideTheSettingsOrInTheUsersStateFolder) {
    struct Case {
        QString program, config, stateHome, expected;
    };
    const std::vector<Case> cases = {
        // A copy with its settings beside itself keeps its recovery there.
        {u"/media/usb/QelEditor/"_s, u"/home/u/.config/QelEditor"_s, QString(),
         u"/media/usb/QelEditor/recovery/"_s},
        // An installed copy: the state folder.
        {u"/home/u/.config/QelEditor/"_s, u"/home/u/.config/QelEditor"_s, QString(),
         u"/home/u/.local/state/QelEditor/recovery/"_s},
        {u"/home/u/.config/QelEditor/"_s, u"/home/u/.config/QelEditor"_s, u"/var/st"_s,
         u"/var/st/QelEditor/recovery/"_s},
        // A relative $XDG_STATE_HOME is not used.
        {u"/home/u/.config/QelEditor/"_s, u"/home/u/.config/QelEditor"_s, u"st"_s,
         u"/home/u/.local/state/QelEditor/recovery/"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recoveryFolderFor(c.program, c.config, c.stateHome, u"/home/u"_s), c.expected);
}

#include "settings/FileContent.h"
#include "../TestFiles.h"
#include "text/Error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace qel;
using namespace Qt::StringLiterals;

namespace {

// The message of the Error `work` throws; empty when it throws none.
QString errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(FileContent, ReadsOnlyRegularFiles) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"doc.txt"_s);
    ASSERT_TRUE(put(file, "text"));
    EXPECT_EQ(readRegularFile(file), QByteArray("text"));

    QStringList refused = {dir.path(), dir.path() + u'/'};
#ifdef Q_OS_UNIX
    // A pipe would block the open until someone writes; a device may never end.
    const QString pipe = dir.filePath(u"pipe.txt"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    refused << pipe;
    if (QFile::exists(u"/dev/zero"_s))
        refused << u"/dev/zero"_s;
#endif
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(errorOf([&] { readRegularFile(path); }), u"通常のファイルではありません"_s);
    }
    // A missing file gives the system's reason.
    const QString missing = errorOf([&] { readRegularFile(dir.filePath(u"none.txt"_s)); });
    EXPECT_FALSE(missing.isEmpty());
    EXPECT_NE(missing, notRegularFileMessage());
}

TEST(FileContent, ReplacesTheWholeFileAtomically) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"doc.txt"_s);
    ASSERT_TRUE(put(file, "a longer old content"));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions mode = QFile::permissions(file);
    writeWholeFile(file, "new");
    EXPECT_EQ(contentOf(file), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(file), mode);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.txt"_s});
    // Onto a folder: the reason, and the folder as it was.
    EXPECT_FALSE(errorOf([&] { writeWholeFile(dir.path(), "x"); }).isEmpty());
}

#ifdef Q_OS_UNIX

// The rights of an ordinary user for as long as it lives, when the tests run as root,
// who may write anywhere.
class OrdinaryUser {
public:
    OrdinaryUser() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_ && ::seteuid(65534) != 0)
            ADD_FAILURE() << "cannot take an ordinary user's rights";
    }
    ~OrdinaryUser() {
        if (wasRoot_ && ::seteuid(0) != 0)
            ADD_FAILURE() << "cannot take root's rights back";
    }

private:
    bool wasRoot_;
};

TEST(FileContent, AWritableFileInAFolderThatIsNotIsWrittenInPlace) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"doc.txt"_s);
    const QString locked = dir.filePath(u"locked.txt"_s);
    ASSERT_TRUE(put(file, "old content") && put(locked, "locked"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &before), 0);
    QString lockedError;
    {
        const OrdinaryUser user;
        writeWholeFile(file, "new");
        lockedError = errorOf([&] { writeWholeFile(locked, "x"); });
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(contentOf(file), QByteArray("new"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino); // the same file, not a new one
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    // A file the user may not write is not written, and the user is told why.
    EXPECT_FALSE(lockedError.isEmpty());
    EXPECT_EQ(contentOf(locked), QByteArray("locked"));
}

// Keeps what it is given, and says what the file held at each call.
class CopyWatch : public InPlaceCopy {
public:
    explicit CopyWatch(QString path, bool refuse = false)
        : path_(std::move(path)), refuse_(refuse) {}
    void keep(const QString& path, QByteArrayView oldContent) override {
        calls << u"keep"_s;
        kept = oldContent.toByteArray();
        fileAtKeep = contentOf(path);
        if (refuse_)
            throw Error(u"no room for the copy"_s);
    }
    void release() override {
        calls << u"release"_s;
        fileAtRelease = contentOf(path_);
    }
    QStringList calls;
    QByteArray kept, fileAtKeep, fileAtRelease;

private:
    QString path_;
    bool refuse_;
};

TEST(FileContent, InPlaceTheOldContentIsKeptUntilTheNewIsWritten) {
    struct Case {
        QByteArray old, written;
    };
    const std::vector<Case> cases = {{"a longer old content", "short"},
                                     {"old", "a longer new content"},
                                     {"old", ""},
                                     {"", "new"},
                                     {QByteArray(300000, 'o'), QByteArray(200000, 'n')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.left(20).toStdString());
        QTemporaryDir dir;
        const QString file = dir.filePath(u"doc.txt"_s);
        ASSERT_TRUE(put(file, c.old));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
        CopyWatch copy(file);
        CopyWatch refusing(file, true);
        QString refused;
        {
            const OrdinaryUser user;
            refused = errorOf([&] { writeWholeFile(file, c.written, &refusing); });
            writeWholeFile(file, c.written, &copy);
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        // The copy is asked for before a byte changes and let go once all is written.
        EXPECT_EQ(copy.calls, (QStringList{u"keep"_s, u"release"_s}));
        EXPECT_EQ(copy.kept, c.old);
        EXPECT_EQ(copy.fileAtKeep, c.old);
        EXPECT_EQ(copy.fileAtRelease, c.written);
        EXPECT_EQ(contentOf(file), c.written);
        // No copy, no overwriting.
        EXPECT_EQ(refused, u"no room for the copy"_s);
        EXPECT_EQ(refusing.calls, QStringList{u"keep"_s});
    }
}

TEST(FileContent, AFullDiskIsReportedWithTheSystemsReason) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"doc.txt"_s);
    ASSERT_TRUE(put(file, "old"));
    // A file size limit fails writes as a full disk does, with a reason of its own.
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit small{4096, previous.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QStringList reasons;
    for (qsizetype size : {5000, 100000}) // below and above Qt's write buffer
        reasons << errorOf([&] { writeWholeFile(file, QByteArray(size, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);
    const QString expected = QString::fromLocal8Bit(std::strerror(EFBIG));
    EXPECT_EQ(reasons, QStringList({expected, expected}));
    EXPECT_EQ(contentOf(file), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.txt"_s});
}

TEST(FileContent, InPlaceAFullDiskFailsBeforeAByteIsOverwritten) {
    // In memory where the system has such a folder: there a reservation that fails
    // leaves the file's time alone (some disk file systems mark the file as changed
    // before they find the room missing).
    QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isDir() ? u"/dev/shm/qel-XXXXXX"_s
                                                       : QDir::tempPath() + u"/qel-XXXXXX"_s);
    const QString file = dir.filePath(u"doc.txt"_s);
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(put(file, old));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    // A time of its own: a file that is written to, even with what it held, takes the
    // time of the write.
    const QDateTime written(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(written, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    // The file size limit stands for the full disk: the room for the new content cannot
    // be had.
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    CopyWatch copy(file);
    QString reason;
    {
        const OrdinaryUser user;
        const rlimit small{4096, previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        reason = errorOf([&] { writeWholeFile(file, QByteArray(10000, 'n'), &copy); });
        ::setrlimit(RLIMIT_FSIZE, &previous);
    }
    std::signal(SIGXFSZ, previousSignal);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(contentOf(file), old);
    // Not a byte of it was written: the room was found missing first.
    EXPECT_EQ(QFileInfo(file).lastModified(), written);
    // The old file is whole: the copy is let go.
    EXPECT_EQ(copy.calls, (QStringList{u"keep"_s, u"release"_s}));
    EXPECT_EQ(copy.fileAtRelease, old);
}

#endif

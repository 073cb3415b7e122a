// A document saved in place on a disk that fills up: a small tmpfs, mounted where only
// this test sees it, holds a folder where no file can be made (the immutable flag) and a
// document in it. The save fails before a byte of the document is overwritten, the
// user is told why, and nothing is left in the recovery folder; with room again, it is
// saved, and the copy kept meanwhile is gone.
//
// Mounting needs root (and a system that lets it): elsewhere the test says why it is
// skipped. FileContentTest covers the same rule with a file size limit standing for the
// full disk.
#include "../TestFiles.h"
#include "recovery/EditJournal.h"
#include "recovery/RecoveryFolder.h"
#include "settings/FileContent.h"
#include "text/Error.h"
#include "textmodel/TextDocument.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace qel;
using namespace Qt::StringLiterals;

namespace {

// Sets or clears the immutable flag of a folder: no entry can be made in it, not even
// by root, while its files stay writable.
QString setImmutable(const QString& folder, bool on) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int flags = 0;
    QString error;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        error = QString::fromLocal8Bit(std::strerror(errno));
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    if (error.isEmpty() && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
        error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return error;
}

// A tmpfs of `bytes` at `folder`, in a mount namespace of this process's own, so that
// nothing outside sees it and it goes with the process. Empty when mounted, otherwise
// why not.
QString mountSmallDisk(const QString& folder, qint64 bytes) {
    if (::geteuid() != 0)
        return u"not root"_s;
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return u"no mount namespace of its own: "_s + QString::fromLocal8Bit(std::strerror(errno));
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) !=
        0)
        return u"cannot mount a tmpfs: "_s + QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

// Fills the disk of `path`'s folder until no more than `left` bytes are free.
bool fill(const QString& path, qint64 left) {
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    // Give back what should stay free.
    return filler.resize(std::max<qint64>(0, filler.size() - left));
}

} // namespace

TEST(InPlaceSave, OnAFullDiskItFailsBeforeAByteIsOverwritten) {
    QTemporaryDir top;
    const QString disk = top.filePath(u"disk"_s);
    ASSERT_TRUE(QDir().mkpath(disk));
    const QString why = mountSmallDisk(disk, 512 * 1024);
    const struct Unmount {
        QByteArray path;
        bool mounted;
        ~Unmount() {
            if (mounted)
                ::umount2(path.constData(), MNT_DETACH);
        }
    } unmount{QFile::encodeName(disk), why.isEmpty()};
    if (!why.isEmpty())
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (" << why.toStdString()
                     << "); FileContentTest covers the rule with a file size limit";
    const QString docs = disk + u"/docs"_s;
    ASSERT_TRUE(QDir().mkpath(docs));
    const QString file = docs + u"/doc.txt"_s;
    const QByteArray old(100 * 1024, 'o');
    ASSERT_TRUE(put(file, old));
    const QString notImmutable = setImmutable(docs, true);
    if (!notImmutable.isEmpty())
        GTEST_SKIP() << "no folder on a tmpfs can refuse new files here: "
                     << notImmutable.toStdString();
    ASSERT_FALSE(put(docs + u"/probe"_s, "x")); // no file can be made beside it

    // The copy of the old content goes to a recovery folder on another disk.
    textmodel::TextDocument document;
    recovery::RecoverySession session(top.filePath(u"recovery"_s));
    recovery::EditJournal journal(document, session);
    const QByteArray bigger(300 * 1024, 'n');
    ASSERT_TRUE(fill(disk + u"/filler"_s, 100 * 1024));
    // A time of its own: a file that is written to, even with what it held, takes the
    // time of the write.
    const QDateTime written(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(written, QFileDevice::FileModificationTime));
    }

    struct Try {
        const char* what;
        InPlaceCopy* copy;
    };
    for (const Try& t : {Try{"with a copy", &journal.inPlaceCopy()}, Try{"without", nullptr}}) {
        SCOPED_TRACE(t.what);
        QString reason;
        try {
            writeWholeFile(file, bigger, t.copy);
        } catch (const Error& e) {
            reason = e.message();
        }
        EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
        EXPECT_EQ(contentOf(file), old);
        // Not a byte of it was written: the room was found missing first.
        EXPECT_EQ(QFileInfo(file).lastModified(), written);
        EXPECT_FALSE(QFile::exists(session.copyPath()));
    }
    // A copy that cannot be kept (its folder on the full disk) stops the save too.
    {
        textmodel::TextDocument other;
        recovery::RecoverySession full(disk + u"/recovery"_s);
        recovery::EditJournal fullJournal(other, full);
        ASSERT_TRUE(fill(disk + u"/filler2"_s, 0));
        QString reason;
        try {
            writeWholeFile(file, "short", &fullJournal.inPlaceCopy());
        } catch (const Error& e) {
            reason = e.message();
        }
        EXPECT_TRUE(reason.startsWith(u"上書きの間の控えを作れないため、保存しませんでした。"_s))
            << reason.toStdString();
        EXPECT_EQ(contentOf(file), old);
        QFile::remove(disk + u"/filler2"_s);
    }
    // With room again the save goes through, and the copy is gone.
    QFile::remove(disk + u"/filler"_s);
    writeWholeFile(file, bigger, &journal.inPlaceCopy());
    EXPECT_EQ(contentOf(file), bigger);
    EXPECT_FALSE(QFile::exists(session.copyPath()));
    EXPECT_EQ(setImmutable(docs, false), QString());
    QFile::remove(file);
}

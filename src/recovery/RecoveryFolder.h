#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace qel::recovery {

// Where journals live: beside the settings when the program keeps them in a folder of
// its own (a copy on a USB stick takes its recovery with it), otherwise in the user's
// state folder ($XDG_STATE_HOME/QelEditor/recovery, ~/.local/state/QelEditor/recovery).
// Ends in a separator.
QString recoveryFolder();
// The rule itself: `programFolder` is where the settings are, `userConfigFolder` the
// per-user one an installed copy keeps them in.
QString recoveryFolderFor(const QString& programFolder, const QString& userConfigFolder,
                          const QString& stateHome, const QString& home);

// Makes the folder, open to its owner only; false with the system's reason.
bool makePrivateFolder(const QString& folder, QString* reason);

// A lock held for as long as a program runs, told apart from one left by a program that
// is no longer running.
std::unique_ptr<QLockFile> lockFile(const QString& path);

// The files of one running program in the recovery folder: its lock, its journal and
// the copy of a file it is overwriting in place. The names are its own (the process
// number, the time and a random number), so that programs running at once never share
// one. Nothing is made on the disk until the program first needs it.
class RecoverySession {
public:
    explicit RecoverySession(QString folder);
    // Lets go of the lock; the journal and the copy stay, as after a crash.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    const QString& folder() const { return folder_; }
    QString journalPath() const { return folder_ + name_ + QStringLiteral(".journal"); }
    QString copyPath() const { return folder_ + name_ + QStringLiteral(".before-save"); }
    QString lockPath() const { return folder_ + name_ + QStringLiteral(".lock"); }

    // Makes the folder and takes the lock, the first time; false with the reason when
    // that cannot be done.
    bool prepare(QString* reason);

private:
    QString folder_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace qel::recovery

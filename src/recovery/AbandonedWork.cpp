#include "AbandonedWork.h"

#include "Digest.h"
#include "RecoveryFolder.h"
#include "text/Cp932.h"
#include "textmodel/TextDocument.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <map>

namespace qel::recovery {

namespace {

const QString kJournalSuffix = QStringLiteral(".journal");
const QString kCopySuffix = QStringLiteral(".before-save");
const QString kLockSuffix = QStringLiteral(".lock");

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of the file at `path` when they are still those with `digest`.
std::optional<QByteArray> fileWithDigest(const QString& path, qint64 size, quint64 digest) {
    const FileStamp stamp = stampOf(path);
    if (stamp.size != size)
        return std::nullopt;
    std::optional<FileDigest> read = digestFile(path, stamp, std::numeric_limits<qint64>::max());
    if (!read || read->digest != digest)
        return std::nullopt;
    return std::move(read->bytes);
}

} // namespace

RecoveredText::RecoveredText() = default;
RecoveredText::RecoveredText(RecoveredText&&) noexcept = default;
RecoveredText& RecoveredText::operator=(RecoveredText&&) noexcept = default;
RecoveredText::~RecoveredText() = default;

AbandonedWork::AbandonedWork(AbandonedWork&&) noexcept = default;
AbandonedWork& AbandonedWork::operator=(AbandonedWork&&) noexcept = default;
AbandonedWork::~AbandonedWork() = default;

std::vector<AbandonedWork> AbandonedWork::findIn(const QString& folder) {
    const QDir dir(folder);
    // The programs that left files, by name: whether each left a journal, a copy. A
    // lock alone is what a program killed with nothing unsaved leaves: taken, it goes.
    std::map<QString, std::pair<bool, bool>> names;
    for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (file.endsWith(kJournalSuffix))
            names[file.chopped(kJournalSuffix.size())].first = true;
        else if (file.endsWith(kCopySuffix))
            names[file.chopped(kCopySuffix.size())].second = true;
        else if (file.endsWith(kLockSuffix))
            names[file.chopped(kLockSuffix.size())];
    }
    std::vector<AbandonedWork> found;
    for (const auto& [name, files] : names) {
        std::shared_ptr<QLockFile> lock = lockFile(dir.filePath(name + kLockSuffix));
        if (!lock->tryLock(0))
            continue; // its program is still running
        AbandonedWork edits, copy;
        if (files.first) {
            edits.journalPath_ = dir.filePath(name + kJournalSuffix);
            edits.journal_ = readJournal(contentOf(edits.journalPath_));
        }
        if (files.second) {
            copy.copyPath_ = dir.filePath(name + kCopySuffix);
            copy.copy_ = readJournal(contentOf(copy.copyPath_));
        }
        // The copy of the file the edits start from goes with them.
        if (edits.journal_.origin && copy.copy_.origin &&
            edits.journal_.origin->documentPath == copy.copy_.origin->documentPath) {
            edits.copyPath_ = std::exchange(copy.copyPath_, QString());
            edits.copy_ = std::exchange(copy.copy_, JournalContents());
        }
        for (AbandonedWork* work : {&edits, &copy}) {
            if (work->journalPath_.isEmpty() && work->copyPath_.isEmpty())
                continue;
            work->evaluate();
            if (work->empty_) {
                // It ended before any of it reached the disk: nothing to give back.
                work->discard();
                continue;
            }
            work->lock_ = lock;
            found.push_back(std::move(*work));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const AbandonedWork& a, const AbandonedWork& b) {
                         return a.lastEdited_ < b.lastEdited_;
                     });
    return found;
}

void AbandonedWork::evaluate() {
    damaged_ = journal_.damaged;
    if (!journal_.origin || journal_.edits.empty()) {
        // No edits: what there is to give back is the copy of a file that was being
        // overwritten, as it was.
        journal_ = JournalContents();
        damaged_ = false;
        if (!copy_.origin || !copy_.originBytes) {
            empty_ = true;
            return;
        }
        base_ = *copy_.originBytes;
        documentPath_ = copy_.origin->documentPath;
        outcome_ = Outcome::Document;
        bytes_ = base_.size();
        lastEdited_ = QDateTime::fromMSecsSinceEpoch(copy_.origin->startedAt);
        return;
    }
    const Origin& origin = *journal_.origin;
    documentPath_ = origin.documentPath;
    if (!journal_.marks.empty()) {
        lastEdited_ = QDateTime::fromMSecsSinceEpoch(journal_.marks.back().time);
        bytes_ = journal_.marks.back().bytes;
    } else {
        lastEdited_ = QDateTime::fromMSecsSinceEpoch(origin.startedAt);
    }
    if (!origin.fromFile) {
        outcome_ = Outcome::Document;
        return;
    }
    outcome_ = Outcome::Lost;
    if (!origin.digest)
        return;
    const quint64 digest = *origin.digest;
    if (fileWithDigest(origin.documentPath, origin.size, digest)) {
        baseIsFile_ = true;
        outcome_ = Outcome::Document;
    } else if (copy_.originBytes && digestOf(*copy_.originBytes) == digest) {
        // The file was being overwritten when the program ended: the copy is what the
        // edits start from.
        base_ = *copy_.originBytes;
        outcome_ = Outcome::Document;
    } else if (journal_.originBytes && digestOf(*journal_.originBytes) == digest) {
        base_ = *journal_.originBytes;
        outcome_ = Outcome::Untitled;
    }
}

RecoveredText AbandonedWork::recover() const {
    RecoveredText out;
    if (outcome_ == Outcome::Lost)
        return out;
    QByteArray base = base_;
    if (baseIsFile_) {
        // Read again: it may have changed since the question was asked.
        std::optional<QByteArray> read =
            fileWithDigest(documentPath_, journal_.origin->size, *journal_.origin->digest);
        if (!read)
            return out;
        base = std::move(*read);
    }
    out.text = std::make_unique<textmodel::TextDocument>();
    out.text->load(cp932::decode(base));
    base = QByteArray();
    out.span = replay(journal_, *out.text).span;
    out.editsOfFile = baseIsFile_;
    out.documentPath = outcome_ == Outcome::Untitled ? QString() : documentPath_;
    return out;
}

void AbandonedWork::discard() {
    for (const QString& path : {journalPath_, copyPath_}) {
        if (path.isEmpty())
            continue;
        QFile::remove(path);
        // What a journal being written again left beside it.
        const QFileInfo info(path);
        for (const QString& left :
             info.dir().entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files))
            QFile::remove(info.dir().filePath(left));
    }
}

QString recoveryQuestion(const AbandonedWork& work) {
    QString text = QStringLiteral("前回、保存されないまま終了した編集内容があります。\n\n");
    text += QStringLiteral("文書：") +
            (work.documentPath().isEmpty() ? QStringLiteral("UnTitledDoc")
                                           : QDir::toNativeSeparators(work.documentPath())) +
            u'\n';
    if (work.lastEdited().isValid())
        text += QStringLiteral("最終編集：") +
                work.lastEdited().toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) +
                u'\n';
    if (work.bytes() >= 0)
        text += QStringLiteral("大きさ：%1 バイト\n").arg(work.bytes());
    if (work.damaged())
        text += QStringLiteral("（控えの終わりが壊れています。その前までを復元します）\n");
    switch (work.outcome()) {
    case AbandonedWork::Outcome::Document:
        text += QStringLiteral("\n復元しますか？");
        break;
    case AbandonedWork::Outcome::Untitled:
        text += QStringLiteral("\n元のファイルはその後変更されています。そのファイルには戻さず、"
                               "無題の文書として復元しますか？");
        break;
    case AbandonedWork::Outcome::Lost:
        text += QStringLiteral("\n元のファイルがその後変更され、編集前の内容が残っていないため、"
                               "復元できません。");
        break;
    }
    return text;
}

QStringList recoveryButtons(const AbandonedWork& work) {
    switch (work.outcome()) {
    case AbandonedWork::Outcome::Document:
        return {QStringLiteral("復元する"), QStringLiteral("破棄する"),
                QStringLiteral("後で決める")};
    case AbandonedWork::Outcome::Untitled:
        return {QStringLiteral("無題で復元する"), QStringLiteral("破棄する"),
                QStringLiteral("後で決める")};
    case AbandonedWork::Outcome::Lost:
        break;
    }
    return {QStringLiteral("破棄する"), QStringLiteral("後で決める")};
}

} // namespace qel::recovery

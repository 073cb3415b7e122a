// A tool for the kill-and-recover check.
//
//   journal_check FILE
//     says what a journal holds: its complete entries, and whether damage follows them
//     ("complete" or "damaged").
//   journal_check --kill-while-growing PID FILE SKIP
//     watches FILE and kills PID with SIGKILL at the moment FILE grows for the
//     (SKIP + 1)th time, which is while a journal write is under way more often than
//     not; gives up when PID ends.
#include "recovery/JournalFormat.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

long long sizeOf(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

int killWhileGrowing(pid_t pid, const char* path, int skip) {
    long long last = sizeOf(path);
    for (;;) {
        const long long now = sizeOf(path);
        if (now > last && now > 0) {
            if (skip-- == 0) {
                ::kill(pid, SIGKILL);
                std::printf("killed at %lld bytes (was %lld)\n", now, last);
                return 0;
            }
        }
        last = now;
        if (::kill(pid, 0) != 0) {
            std::printf("the program ended first\n");
            return 1;
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 5 && std::string(argv[1]) == "--kill-while-growing")
        return killWhileGrowing(pid_t(std::atoi(argv[2])), argv[3], std::atoi(argv[4]));
    if (argc != 2) {
        std::fprintf(stderr, "usage: journal_check FILE | --kill-while-growing PID FILE SKIP\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("missing\n");
        return 1;
    }
    const QByteArray bytes = file.readAll();
    const qel::recovery::JournalContents read = qel::recovery::readJournal(bytes);
    std::printf("%s: %zu edits, %zu marks, %lld of %lld bytes complete\n",
                read.damaged ? "damaged" : "complete", read.edits.size(), read.marks.size(),
                static_cast<long long>(read.completeBytes), static_cast<long long>(bytes.size()));
    return 0;
}

// Runs a fuzz target over saved inputs, without libFuzzer: every file named, and every
// file in each folder named (a missing folder holds none). Fails when no input is
// found, so a misplaced corpus cannot pass unnoticed.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char* argv[]) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir dir(path);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                files.append(dir.filePath(name));
        } else if (info.isFile()) {
            files.append(path);
        }
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot be read\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        // Named before the run, so a crash says which input it was.
        std::fprintf(stderr, "input %s (%lld bytes)\n", qPrintable(path),
                     static_cast<long long>(bytes.size()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               std::size_t(bytes.size()));
    }
    std::fprintf(stderr, "replayed %lld inputs\n", static_cast<long long>(files.size()));
    return 0;
}

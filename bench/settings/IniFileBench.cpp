#include "settings/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

// A settings file of about 1 MB: 2000 sections of 12 entries, some of them Japanese.
QByteArray megabyteFile() {
    QByteArray out;
    for (int s = 0; s < 2000; ++s) {
        out += "[Section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < 12; ++k) {
            out += "Key" + QByteArray::number(k) + "=value " + QByteArray::number(s * 100 + k);
            out += k % 3 == 0 ? " \x82\xA0\x82\xA2\x82\xA4 \x93\xFA\x96\x7B\x8C\xEA\r\n"
                              : " some longer text to fill the line\r\n";
        }
    }
    return out;
}

struct File {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("big.ini"));
    File() {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(megabyteFile()) < 1000000)
            throw std::runtime_error("cannot write the benchmark file");
    }
};

// Opening the file and reading a key of its last section.
void BM_ReadOneKey(benchmark::State& state) {
    File file;
    for (auto _ : state) {
        const qel::IniFile ini(file.path);
        benchmark::DoNotOptimize(ini.readString(u"Section1999", u"Key11", QString()));
    }
}
BENCHMARK(BM_ReadOneKey)->Unit(benchmark::kMillisecond);

// Opening the file, changing a key of its last section and writing the file.
void BM_WriteOneKey(benchmark::State& state) {
    File file;
    int value = 0;
    for (auto _ : state) {
        qel::IniFile ini(file.path);
        ini.writeInteger(u"Section1999", u"Key11", ++value);
        if (!ini.commit())
            state.SkipWithError("commit failed");
    }
}
BENCHMARK(BM_WriteOneKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

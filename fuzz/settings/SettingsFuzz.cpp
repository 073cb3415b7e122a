// The settings file reader and writer on any file. Reading never fails and its ways of
// reading agree; keys written read back as written; writing keys one by one and many
// in one pass give the same file; and every line the writes did not replace is kept,
// byte for byte and in order.
//
// Input: the file's bytes, a section name, then up to four key and value pairs, each
// a field (see FuzzInput). Names are spelt from a small alphabet rich in letters whose
// case is tricky to compare, some of them beyond code page 932; values are any bytes,
// read as code page 932, or as UTF-8 after a first byte 01.
#include "../FuzzSupport.h"

#include "settings/IniFile.h"
#include "text/Cp932.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

using namespace qel;
using qel::fuzz::FuzzInput;
using qel::fuzz::readBack;
using qel::fuzz::readFile;
using qel::fuzz::scratchFile;
using qel::fuzz::trimBlanks;
using qel::fuzz::writeFile;

namespace {

QString nameFrom(QByteArrayView bytes) {
    static const QString alphabet = QStringLiteral("ABCabc019&_-.ＡａΣσςДдßſKİıǅǆé");
    QString name;
    for (const char b : bytes.first(std::min<qsizetype>(bytes.size(), 8)))
        name += alphabet[qsizetype(static_cast<unsigned char>(b)) % alphabet.size()];
    return name.isEmpty() ? QStringLiteral("S") : name;
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Line {
    QByteArray bytes;
    QByteArray lineBreak;
};

// Lines as the file holds them: CR LF, CR and LF each end one.
std::vector<Line> linesOf(const QByteArray& file) {
    std::vector<Line> lines;
    qsizetype begin = 0;
    while (begin < file.size()) {
        qsizetype end = begin;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        qsizetype next = end;
        if (end < file.size())
            next = file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n' ? end + 2
                                                                                       : end + 1;
        lines.push_back({file.sliced(begin, end - begin), file.sliced(end, next - end)});
        begin = next;
    }
    return lines;
}

QString decodeLine(const QByteArray& line, bool utf8) {
    return utf8 ? QString::fromUtf8(line) : cp932::decodeText(line);
}

// The name of a section header line, as the reader sees one.
std::optional<QString> headerName(const QString& line) {
    const QString t = trimBlanks(line);
    if (t.size() < 2 || t.front() != u'[' || t.back() != u']')
        return std::nullopt;
    return trimBlanks(t.sliced(1, t.size() - 2));
}

void checkReads(const IniFile& ini, const QString& section, const QString& key) {
    const std::vector<IniFile::Entry> entries = ini.entries(section);
    const IniFile::Entry* first = nullptr;
    for (const IniFile::Entry& e : entries)
        if (!first && sameName(e.key, key))
            first = &e;
    FUZZ_CHECK(ini.hasKey(section, key) == (first != nullptr));
    const QString value = ini.readString(section, key, QStringLiteral("\x01"));
    FUZZ_CHECK(first ? value == first->value : value == u"\x01");
    // An integer that reads at all reads the same whatever the default.
    const int a = ini.readInteger(section, key, 7);
    const int b = ini.readInteger(section, key, -8);
    FUZZ_CHECK(a == b || (a == 7 && b == -8));
    FUZZ_CHECK(ini.readBool(section, key, true) == (ini.readInteger(section, key, 1) != 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString onePass = scratchFile(QStringLiteral("one-pass.ini"));
    const QString oneByOne = scratchFile(QStringLiteral("one-by-one.ini"));

    FuzzInput in(data, size);
    const QByteArrayView original = in.field();
    const QString section = nameFrom(in.field());
    std::vector<std::pair<QString, QString>> pairs;
    while (!in.atEnd() && pairs.size() < 4) {
        const QString key = nameFrom(in.field());
        const QByteArrayView value = in.field();
        pairs.emplace_back(key, value.startsWith('\x01') ? QString::fromUtf8(value.sliced(1))
                                                         : cp932::decodeText(value));
    }
    writeFile(onePass, original);
    writeFile(oneByOne, original);

    {
        IniFile ini(oneByOne);
        for (const auto& [key, value] : pairs) {
            checkReads(ini, section, key);
            ini.writeString(section, key, value);
        }
        FUZZ_CHECK(ini.commit());
    }
    {
        IniFile ini(onePass);
        ini.writeStrings(section, pairs);
    }
    const QByteArray written = readFile(oneByOne);
    FUZZ_CHECK_EQ(readFile(onePass), written);
    // Code page 932 while everything fits, else UTF-8 behind a byte-order mark.
    const bool utf8Before = original.startsWith(fuzz::kByteOrderMark);
    const bool utf8After = written.startsWith(fuzz::kByteOrderMark);
    // (The value a key keeps is the last one written to it.)
    bool fits = true;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        bool last = true;
        for (std::size_t j = i + 1; j < pairs.size(); ++j)
            last = last && !sameName(pairs[j].first, pairs[i].first);
        // Line breaks are written as spaces.
        if (last)
            for (const QChar c : pairs[i].second)
                fits = fits && (c == u'\r' || cp932::isRepresentable(c.unicode()));
    }
    if (!fits)
        FUZZ_CHECK(utf8After);

    // Each key reads back the last value written to it.
    const IniFile reread(oneByOne);
    for (qsizetype i = 0; i < qsizetype(pairs.size()); ++i) {
        qsizetype last = i;
        for (qsizetype j = i + 1; j < qsizetype(pairs.size()); ++j)
            if (sameName(pairs[j].first, pairs[i].first))
                last = j;
        if (fuzz::keepsValue(pairs[last].second, utf8After))
            FUZZ_CHECK_EQ(reread.readString(section, pairs[i].first, QString()),
                          readBack(pairs[last].second));
        checkReads(reread, section, pairs[i].first);
    }

    // Every line but the entries the writes could replace (the written keys in the
    // first section of that name) comes through unchanged and in order. Only a last
    // line without a line break may gain one, when something follows it now.
    // Lines as read keep their bytes while the file keeps its encoding.
    if (utf8Before != utf8After)
        return 0;
    const std::vector<Line> before = linesOf(original.toByteArray().sliced(utf8Before ? 3 : 0));
    const std::vector<Line> after = linesOf(written.sliced(utf8After ? 3 : 0));
    FUZZ_CHECK(after.size() <= before.size() + pairs.size() + 1);
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t next = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Line& line = before[i];
        const QString text = decodeLine(line.bytes, utf8Before);
        if (const auto name = headerName(text)) {
            inSection = !sectionSeen && sameName(*name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection) {
            const qsizetype eq = text.indexOf(u'=');
            const QString key = trimBlanks(text.left(eq));
            const bool replaceable = eq >= 0 && !trimBlanks(text).startsWith(u';') &&
                                     std::any_of(pairs.begin(), pairs.end(), [&](const auto& pair) {
                                         return sameName(pair.first, key);
                                     });
            if (replaceable)
                continue;
        }
        while (next < after.size() && after[next].bytes != line.bytes)
            ++next;
        FUZZ_CHECK(next < after.size());
        const bool gainedBreak =
            i + 1 == before.size() && line.lineBreak.isEmpty() && after[next].lineBreak == "\r\n";
        FUZZ_CHECK(after[next].lineBreak == line.lineBreak || gainedBreak);
        ++next;
    }
    return 0;
}

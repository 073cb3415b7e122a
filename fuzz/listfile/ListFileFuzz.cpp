// The list file reader on any file: the list it reads is what reading each entry key
// in turn gives; a list written to a new file, or over the file read, reads back as
// written (values as the settings file syntax keeps them).
//
// Input: the file's bytes, then fields: paths to write over it.
#include "../FuzzSupport.h"

#include "filelist/ListFile.h"
#include "settings/IniFile.h"
#include "text/Cp932.h"

#include <QStringList>

using namespace qel;
using qel::fuzz::FuzzInput;
using qel::fuzz::readBack;
using qel::fuzz::scratchFile;
using qel::fuzz::writeFile;

namespace {

const QString kList = QStringLiteral("List");

QString itemKey(qsizetype position) {
    return u"Item" + QString::number(position);
}

void checkWrittenReadsBack(const QString& path, const ListLook& look, const QStringList& paths) {
    {
        IniFile file(path);
        writeListFile(file, look, paths);
    }
    const IniFile file(path);
    const ListFileContents read = readListFile(file);
    const bool utf8 = fuzz::isUtf8File(path);
    FUZZ_CHECK_EQ(read.paths.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i)
        if (fuzz::keepsValue(paths[i], utf8))
            FUZZ_CHECK_EQ(read.paths[i], readBack(paths[i]));
    ListLook expected = look;
    expected.font = readBack(look.font);
    if (fuzz::keepsValue(look.font, utf8))
        FUZZ_CHECK_EQ(read.look.font, expected.font);
    expected.font = read.look.font;
    expected.dateWidthStored = true; // a written list holds every width
    FUZZ_CHECK(read.look == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString listPath = scratchFile(QStringLiteral("list.QelL"));
    const QString copyPath = scratchFile(QStringLiteral("copy.QelL"));
    FuzzInput in(data, size);
    writeFile(listPath, in.field());
    QStringList newPaths;
    while (!in.atEnd())
        newPaths.append(cp932::decodeText(in.field()));

    ListFileContents contents;
    {
        const IniFile file(listPath);
        contents = readListFile(file);
        const int count = std::max(0, file.readInteger(kList, u"Count", 0));
        FUZZ_CHECK(contents.paths.size() <= count);
        for (qsizetype i = 0; i < contents.paths.size(); ++i)
            FUZZ_CHECK_EQ(contents.paths[i],
                          file.readString(kList, itemKey(i), QStringLiteral("non")));
        // The list ends at its last entry key.
        FUZZ_CHECK(contents.paths.isEmpty() ||
                   file.hasKey(kList, itemKey(contents.paths.size() - 1)));
        for (qsizetype i = contents.paths.size(); i < std::min(count, 64); ++i)
            FUZZ_CHECK(!file.hasKey(kList, itemKey(i)));
    }

    writeFile(copyPath, QByteArrayView());
    checkWrittenReadsBack(copyPath, contents.look, contents.paths);
    checkWrittenReadsBack(listPath, contents.look, newPaths);
    return 0;
}

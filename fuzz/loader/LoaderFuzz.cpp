// A file loaded in pieces, on several threads, gives the text a plain decode of its
// bytes gives, with the same codes and the same line and byte index, wherever its
// pieces and stretches end. The first two bytes of the input choose the threads, the
// piece size and the bytes a thread is given; the rest is the file.
#include "../FuzzSupport.h"

#include "textmodel/TextLoader.h"

using namespace qel;
using namespace qel::textmodel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    TextLoader::Options options;
    options.threads = 1 + data[0] % 4;
    options.pieceBytes = 1 + data[0] / 4 % 64;
    options.threadBytes = 1 + data[1];
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const BytesInMemory source(bytes);
    TextLoader loader(source, options);
    const TextBuffer loaded = loader.take();
    const cp932::Decoded whole = cp932::decode(bytes);
    FUZZ_CHECK_EQ(loaded.text(), whole.text);
    FUZZ_CHECK(loaded.alternates() == whole.alternates);

    // The index against a count made character by character.
    const QString& text = whole.text;
    qsizetype bytesBefore = 0, breaksBefore = 0, lineStart = 0, longest = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        FUZZ_CHECK_EQ(loaded.bytesBefore(i), bytesBefore);
        FUZZ_CHECK_EQ(loaded.breaksBefore(i), breaksBefore);
        if (i == text.size())
            break;
        if (text[i] == u'\n') {
            longest = std::max(longest, bytesBefore - lineStart);
            lineStart = bytesBefore + 2;
            ++breaksBefore;
        }
        bytesBefore += cp932::byteLength(text[i].unicode());
    }
    const qsizetype longestLine = std::max(longest, bytesBefore - lineStart);
    FUZZ_CHECK_EQ(loaded.longestLineBytes(), longestLine);
    FUZZ_CHECK_EQ(bytesBefore, cp932::encode(text, whole.alternates).size());
    return 0;
}

// Recognition and conversion of arbitrary bytes. Recognition decides without fault,
// the same way every time, keeps clean code page 932 text as code page 932 and a
// byte-order mark's word; whatever the bytes, conversion from any encoding gives text
// the editor takes as it is, that saves and loads back unchanged, and counts every
// "?" it made.
#include "../FuzzSupport.h"

#include "text/Cp932.h"
#include "text/Encoding.h"

using namespace qel;
using namespace qel::encoding;

namespace {

void checkConversion(QByteArrayView bytes, Encoding from) {
    const Converted c = convertToCp932(bytes, from);
    FUZZ_CHECK_EQ(cp932::toRepresentable(c.text), c.text);
    FUZZ_CHECK_EQ(cp932::decodeText(cp932::encode(c.text)), c.text);
    FUZZ_CHECK(c.text.count(u'?') >= c.lost);
    FUZZ_CHECK(c.firstLost.size() <= kFirstLostShown);
    FUZZ_CHECK_EQ(c.firstLost.isEmpty(), c.lost == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Recognition found = recognise(bytes, true);
    FUZZ_CHECK(recognise(bytes, true) == found);
    if (isCleanCp932(bytes, true) && !bytes.startsWith("\xEF\xBB\xBF") &&
        !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"))
        FUZZ_CHECK(found.encoding == Encoding::Cp932);
    if (found.encoding == Encoding::Cp932)
        FUZZ_CHECK(found == Recognition{});

    const QByteArray marked = QByteArray("\xEF\xBB\xBF") + bytes;
    FUZZ_CHECK(recognise(marked, true) == (Recognition{Encoding::Utf8, true, 100}));

    for (const Encoding from : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE,
                                Encoding::EucJp, Encoding::Iso2022Jp})
        checkConversion(bytes, from);
    return 0;
}

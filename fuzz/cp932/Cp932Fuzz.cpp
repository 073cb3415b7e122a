// Code page 932 at the document boundary. The bytes of any file come back unchanged
// from a load and save (line breaks written as CR LF), the byte count shown is the
// size saved, and offsets and positions convert both ways. The same input read as
// UTF-16 text, once reduced to what code page 932 holds, survives a save and load.
#include "../FuzzSupport.h"

#include "text/Cp932.h"

#include <QString>

using namespace qel;

namespace {

void checkBytes(QByteArrayView bytes) {
    const cp932::Decoded loaded = cp932::decode(bytes);
    const QByteArray saved = cp932::encode(loaded.text, loaded.alternates);
    FUZZ_CHECK_EQ(saved, fuzz::withCrLf(bytes));
    FUZZ_CHECK_EQ(cp932::byteLength(loaded.text), saved.size());
    FUZZ_CHECK_EQ(cp932::decodeText(bytes), loaded.text);

    const QString& text = loaded.text;
    qsizetype previous = -1;
    for (qsizetype p = 0; p <= text.size(); ++p) {
        const qsizetype offset = cp932::byteOffset(text, p);
        FUZZ_CHECK(offset > previous);
        FUZZ_CHECK_EQ(cp932::charPosition(text, offset), p);
        if (p < text.size())
            FUZZ_CHECK(cp932::charPosition(text, offset + 1) ==
                       (cp932::byteLength(text[p].unicode()) == 1 ? p + 1 : p));
        previous = offset;
    }
    FUZZ_CHECK_EQ(cp932::byteOffset(text, text.size()), saved.size());
    FUZZ_CHECK_EQ(cp932::charPosition(text, saved.size() + 1), text.size());
}

void checkText(QStringView typed) {
    // What any text turns into as it enters an editor.
    const QString text = cp932::toRepresentable(typed);
    for (const QChar c : text)
        FUZZ_CHECK(cp932::isRepresentable(c.unicode()));
    FUZZ_CHECK_EQ(cp932::toRepresentable(text), text);
    const QByteArray saved = cp932::encode(text);
    if (!fuzz::leadByteMeetsTrail(text))
        FUZZ_CHECK_EQ(cp932::decodeText(saved), text);
    FUZZ_CHECK_EQ(cp932::byteLength(text), saved.size());
    // Text not reduced first is saved with "?" for what code page 932 lacks, and
    // counted as saved.
    FUZZ_CHECK_EQ(cp932::byteLength(typed), cp932::encode(typed).size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkBytes(bytes);
    QString typed(qsizetype(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i < size / 2; ++i)
        typed[qsizetype(i)] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
    checkText(typed);
    return 0;
}

// Loading in pieces and on several threads gives the buffer a plain decode of the whole
// bytes gives: the same text, codes, line index and byte measures, wherever pieces and
// stretches happen to end (a CR LF or a double-byte character cut in two, a line
// longer than a piece, no place to split at all). A failed read and a cancel end the
// load with their reason.
#include "textmodel/TextLoader.h"
#include "../TestPrinters.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace qel::textmodel {
namespace {

// What the loaded buffer must equal: the whole bytes decoded and indexed at once.
::testing::AssertionResult loadsAsOneDecode(const QByteArray& bytes,
                                            const TextLoader::Options& options) {
    const cp932::Decoded whole = cp932::decode(bytes);
    const TextBuffer expected(whole.text, whole.alternates);
    const BytesInMemory source(bytes);
    TextLoader loader(source, options);
    const TextBuffer loaded = loader.take();
    const auto failure = [&] {
        return ::testing::AssertionFailure()
               << "[" << bytes.toHex(' ').constData() << "] threads " << options.threads
               << ", pieces of " << options.pieceBytes << ": ";
    };
    if (loaded.text() != whole.text)
        return failure() << "text differs";
    if (loaded.alternates().size() != whole.alternates.size() ||
        !std::equal(whole.alternates.begin(), whole.alternates.end(), loaded.alternates().begin()))
        return failure() << "codes differ";
    for (qsizetype i = 0; i <= whole.text.size(); ++i)
        if (loaded.bytesBefore(i) != expected.bytesBefore(i) ||
            loaded.breaksBefore(i) != expected.breaksBefore(i))
            return failure() << "index differs at " << i;
    for (qsizetype b = 0; b <= expected.bytesBefore(whole.text.size()); ++b)
        if (loaded.indexOfByte(b, 0) != expected.indexOfByte(b, 0))
            return failure() << "byte " << b << " found elsewhere";
    if (loaded.longestLineBytes() != expected.longestLineBytes())
        return failure() << "longest line " << loaded.longestLineBytes() << ", not "
                         << expected.longestLineBytes();
    return ::testing::AssertionSuccess();
}

TextLoader::Options split(int threads, qsizetype pieceBytes, qsizetype threadBytes = 1) {
    TextLoader::Options o;
    o.threads = threads;
    o.pieceBytes = pieceBytes;
    o.threadBytes = threadBytes;
    return o;
}

QByteArray times(const QByteArray& bytes, int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += bytes;
    return out;
}

TEST(TextLoader, PiecesAndStretchesEndAnywhere) {
    // 82a0 あ, 8790 and fa5c NEC/IBM forms, e0 a lead byte without its trail, b1 ｱ.
    const QByteArray mixed = QByteArray::fromHex("82a0410d0a8790fa5c0d420a0d0a43e0b1") + "end";
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"one byte", "x"},
        {"no line break", "abc def"},
        {"CR LF, lone CR, lone LF", "a\r\nb\rc\nd\r"},
        {"breaks only", "\r\n\r\n\n\r\r"},
        {"a lead byte at the very end", QByteArray::fromHex("414281")},
        {"a CR at the very end", "ab\r"},
        {"mixed", mixed},
        {"mixed, many times", times(mixed, 40)},
        {"double-byte only: nowhere to split", times(QByteArray::fromHex("82a0"), 300)},
        {"a long line among short ones", "a\r\n" + times("xyz", 200) + "\r\nb\r\n"},
        {"a long line of kanji", times(QByteArray::fromHex("8abf8e9a"), 150) + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const int threads : {1, 2, 3, 4})
            for (const qsizetype piece : {1, 2, 3, 5, 7, 64, 4096})
                ASSERT_TRUE(loadsAsOneDecode(c.bytes, split(threads, piece)));
        // Below the size worth a thread, on the calling thread in one piece.
        ASSERT_TRUE(loadsAsOneDecode(c.bytes, split(4, 1 << 20, 1 << 20)));
    }
}

TEST(TextLoader, RandomBytesLoadAsOneDecode) {
    static const unsigned char interesting[] = {0x0A, 0x0D, 0x20, 0x40, 0x5C, 0x7F, 0x80, 0x81,
                                                0x87, 0x9F, 0xA0, 0xB1, 0xE0, 0xED, 0xFA, 0xFC};
    std::mt19937 rng(23);
    for (int run = 0; run < 300; ++run) {
        QByteArray bytes;
        const int length = int(rng() % 600);
        for (int i = 0; i < length; ++i)
            bytes.append(char(rng() % 3 ? interesting[rng() % sizeof interesting] : rng() % 256));
        const int threads = 1 + int(rng() % 4);
        const qsizetype piece = 1 + qsizetype(rng() % 40);
        ASSERT_TRUE(loadsAsOneDecode(bytes, split(threads, piece, 1 + qsizetype(rng() % 100))));
    }
}

// The index counts every character a text can hold as many bytes as it is saved as,
// wherever it stands among others.
TEST(TextLoader, EveryCharacterIsMeasuredAsItIsSaved) {
    QString text;
    for (int c = 0; c < 0x10000; ++c)
        if (c != '\n' && cp932::isRepresentable(char16_t(c)))
            text += QChar(c);
    std::shuffle(text.begin(), text.end(), std::mt19937(932));
    for (qsizetype at = 37; at < text.size(); at += 37 + at % 11)
        text.insert(at, u'\n');
    const TextBuffer buffer(text);
    qsizetype expected = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        ASSERT_EQ(buffer.bytesBefore(i), expected) << "before character " << i;
        if (i < text.size())
            expected += cp932::byteLength(text[i].unicode());
    }
    EXPECT_EQ(expected, cp932::encode(text).size());
}

// A source whose reads fail from an offset on, as a disk does.
class FailingSource : public ByteSource {
public:
    FailingSource(QByteArray bytes, qsizetype failFrom)
        : bytes_(std::move(bytes)), failFrom_(failFrom) {}
    qsizetype size() const override { return bytes_.size(); }
    qsizetype read(qsizetype offset, char* to, qsizetype n) const override {
        if (offset + std::min(n, size() - offset) > failFrom_)
            throw Error(u"Input/output error"_s);
        return BytesInMemory(bytes_).read(offset, to, n);
    }

private:
    QByteArray bytes_;
    qsizetype failFrom_;
};

TEST(TextLoader, AFailedReadOrACancelEndsTheLoadWithItsReason) {
    const QByteArray text = times("line of text\r\n", 1000);
    const auto reasonOf = [](const std::function<void()>& load) {
        try {
            load();
        } catch (const Error& e) {
            return e.message();
        }
        return u"loaded"_s;
    };
    for (const int threads : {1, 2}) {
        const FailingSource source(text, text.size() - 100);
        EXPECT_EQ(reasonOf([&] { TextLoader(source, split(threads, 512)).take(); }),
                  u"Input/output error"_s);
    }

    // Cancelled while the threads are held after their first piece.
    for (const int threads : {1, 2}) {
        const BytesInMemory source(text);
        std::atomic<int> pieces = 0;
        std::atomic<bool> cancelled = false;
        TextLoader::Options options = split(threads, 256);
        options.afterPiece = [&] {
            ++pieces;
            while (!cancelled)
                std::this_thread::yield();
        };
        EXPECT_EQ(reasonOf([&] {
                      TextLoader loader(source, options);
                      loader.cancel();
                      cancelled = true;
                      loader.take();
                  }),
                  loadCancelledMessage());
        EXPECT_LE(pieces.load(), threads);
    }
}

TEST(TextLoader, ProgressGoesFromNothingToAll) {
    const QByteArray text = times("0123456789\r\n", 5000);
    const BytesInMemory source(text);
    std::vector<double> seen;
    std::atomic<TextLoader*> self = nullptr;
    TextLoader::Options options = split(1, 4096);
    options.afterPiece = [&] {
        if (TextLoader* loader = self)
            seen.push_back(loader->progress());
    };
    TextLoader loader(source, options);
    self = &loader;
    loader.take();
    EXPECT_DOUBLE_EQ(loader.progress(), 1.0);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](double p) { return p < 1; }));
}

} // namespace
} // namespace qel::textmodel

#include "TextLoader.h"

#include "text/Error.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <sys/mman.h>

namespace qel::textmodel {

namespace {

// A split point is looked for this far after the place it would ideally be.
constexpr qsizetype kSplitWindow = 4096;
constexpr qsizetype kSplitSearch = 1024 * 1024;
// The index is made this many characters at a time, so that a cancel is heard soon.
constexpr qsizetype kIndexStep = 1 << 20;

// A big text is touched page by page as it is decoded: in pages of two megabytes
// where the system has them, so that it takes a fault per 2 MB rather than per 4 KB.
void adviseHugePages(void* data, qsizetype bytes) {
    constexpr std::uintptr_t kHuge = 2 << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end =
        (reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(bytes)) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

int processors() {
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

} // namespace

QString loadCancelledMessage() {
    return QStringLiteral("読み込みを中止しました");
}

TextLoader::TextLoader(const ByteSource& source) : TextLoader(source, Options()) {}

TextLoader::TextLoader(const ByteSource& source, Options options)
    : source_(source), options_(std::move(options)) {
    const qsizetype size = source_.size();
    options_.pieceBytes = std::max<qsizetype>(options_.pieceBytes, 1);
    options_.threadBytes = std::max<qsizetype>(options_.threadBytes, 1);
    const int most = options_.threads > 0 ? options_.threads : processors();
    const int wanted = int(std::clamp<qsizetype>(size / options_.threadBytes, 1, most));
    // Never more characters than bytes: the text is made as long as the source and
    // cut to its length at the end.
    text_ = QString(size, Qt::Uninitialized);
    adviseHugePages(text_.data(), size * 2);
    split(wanted);
    if (size < options_.threadBytes) {
        running_ = 1;
        run(0);
        return;
    }
    running_ = int(parts_.size());
    threads_.reserve(parts_.size());
    for (std::size_t i = 0; i < parts_.size(); ++i)
        threads_.emplace_back([this, i] { run(i); });
}

TextLoader::~TextLoader() {
    cancel();
    for (std::thread& t : threads_)
        t.join();
}

void TextLoader::split(int parts) {
    const qsizetype size = source_.size();
    std::vector<qsizetype> ends;
    std::vector<char> window(static_cast<std::size_t>(kSplitWindow));
    for (int i = 1; i < parts; ++i) {
        // The first byte at or after the ideal place that always ends a character.
        const qsizetype ideal = size / parts * i;
        qsizetype at = -1;
        for (qsizetype from = std::max(ideal, ends.empty() ? 0 : ends.back());
             at < 0 && from < std::min(size, ideal + kSplitSearch); from += kSplitWindow) {
            const qsizetype got = source_.read(from, window.data(), kSplitWindow);
            for (qsizetype k = 0; k < got; ++k) {
                if (cp932::endsCharacter(static_cast<unsigned char>(window[std::size_t(k)]))) {
                    at = from + k + 1;
                    break;
                }
            }
            if (got < kSplitWindow)
                break;
        }
        if (at > 0 && at < size)
            ends.push_back(at);
    }
    ends.push_back(size);
    qsizetype start = 0;
    parts_.resize(ends.size());
    for (std::size_t i = 0; i < ends.size(); ++i) {
        parts_[i].start = start;
        parts_[i].end = start = ends[i];
    }
}

void TextLoader::run(std::size_t part) {
    const bool alone = parts_.size() == 1;
    decode(parts_[part]);
    if (alone) {
        moveTogether();
    } else {
        // Every part decoded before they are moved together; the last to arrive moves
        // them, the others wait for it.
        std::unique_lock lock(mutex_);
        const int generation = generation_;
        if (++waiting_ == int(parts_.size())) {
            moveTogether();
            waiting_ = 0;
            ++generation_;
            finished_.notify_all();
        } else {
            finished_.wait(lock, [&] { return generation_ != generation; });
        }
    }
    index(part);
    std::lock_guard lock(mutex_);
    if (--running_ == 0)
        finished_.notify_all();
}

void TextLoader::decode(Part& part) {
    try {
        // One more byte than a piece, for the one a piece may leave to the next.
        const std::unique_ptr<char[]> buffer(
            new char[std::size_t(std::min(options_.pieceBytes, part.end - part.start) + 1)]);
        auto* const out = reinterpret_cast<char16_t*>(text_.data()) + part.start;
        qsizetype offset = part.start;
        qsizetype carried = 0; // a CR or lead byte left over from the piece before
        while (!stop_) {
            const qsizetype wanted = std::min(options_.pieceBytes, part.end - offset);
            const qsizetype got =
                wanted > 0 ? source_.read(offset, buffer.get() + carried, wanted) : 0;
            offset += got;
            // A source that ends early (the file shrank) ends the part there.
            const bool last = got < wanted || offset >= part.end;
            const cp932::DecodedPiece piece =
                cp932::decodePiece(QByteArrayView(buffer.get(), carried + got), out + part.chars,
                                   last, part.alternates, part.chars);
            part.chars += piece.chars;
            part.breaks += piece.breaks;
            const qsizetype left = carried + got - piece.consumed;
            if (left > 0)
                std::memmove(buffer.get(), buffer.get() + piece.consumed, std::size_t(left));
            carried = left;
            decodedBytes_ += got;
            if (options_.afterPiece)
                options_.afterPiece();
            if (last)
                break;
        }
    } catch (...) {
        part.error = std::current_exception();
        stop_ = true;
    }
}

void TextLoader::moveTogether() {
    if (stop_)
        return;
    auto* const data = reinterpret_cast<char16_t*>(text_.data());
    qsizetype position = 0;
    for (Part& part : parts_) {
        part.position = position;
        if (part.start != position && part.chars > 0)
            std::memmove(data + position, data + part.start, std::size_t(part.chars) * 2);
        position += part.chars;
    }
    length_ = position;
}

void TextLoader::index(std::size_t number) {
    if (stop_)
        return;
    Part& part = parts_[number];
    TextBuffer::Stretch& stretch = part.index;
    stretch.from = stretch.to = part.position;
    // The first part's line breaks become the buffer's: room for all of them.
    qsizetype breaks = 0;
    for (const Part& p : parts_)
        breaks += number == 0 || &p == &part ? p.breaks : 0;
    stretch.breaks.reserve(std::size_t(breaks));
    stretch.strideBytes.reserve(std::size_t(part.chars / TextBuffer::kStride + 2));
    const QStringView text(reinterpret_cast<const char16_t*>(text_.constData()), length_);
    const qsizetype end = part.position + part.chars;
    while (stretch.to < end && !stop_) {
        const qsizetype before = stretch.to;
        stretch.extend(text, std::min(end, before + kIndexStep));
        indexedChars_ += stretch.to - before;
    }
}

bool TextLoader::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return finished_.wait_for(lock, timeout, [this] { return running_ == 0; });
}

double TextLoader::progress() const {
    const qsizetype size = source_.size();
    if (size == 0)
        return 1;
    // Decoding takes most of the time, indexing the rest.
    const double decoded = double(decodedBytes_) / double(size);
    const double indexed = length_ > 0 ? double(indexedChars_) / double(length_) : 0;
    return std::min(1.0, 0.8 * decoded + 0.2 * indexed);
}

void TextLoader::cancel() {
    stop_ = true;
}

TextBuffer TextLoader::take() {
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return running_ == 0; });
    }
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
    if (taken_)
        throw Error(loadCancelledMessage());
    taken_ = true;
    for (const Part& part : parts_)
        if (part.error)
            std::rethrow_exception(part.error);
    if (stop_)
        throw Error(loadCancelledMessage());

    std::vector<cp932::AlternateForm> alternates;
    std::vector<TextBuffer::Stretch> stretches;
    for (Part& part : parts_) {
        for (cp932::AlternateForm form : part.alternates) {
            form.position += part.position;
            alternates.push_back(form);
        }
        stretches.push_back(std::move(part.index));
    }
    text_.resize(length_);
    // Gives back the room the source's double-byte characters did not need.
    text_.squeeze();
    return TextBuffer(std::move(text_), std::move(alternates), std::move(stretches));
}

} // namespace qel::textmodel

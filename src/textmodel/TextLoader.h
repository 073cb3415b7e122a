#pragma once

#include "text/ByteSource.h"
#include "textmodel/PieceTable.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qel::textmodel {

// The reason take() gives for a load that was cancelled.
QString loadCancelledMessage();

// Loads a code page 932 text into a buffer ready for a document: decoded and indexed.
//
// A big text is loaded in the background, on as many threads as the machine has
// processors (up to four): its bytes are split into stretches where a character
// always ends (cp932::endsCharacter: a line feed, a space, a digit...), and each
// thread reads, decodes and then indexes its own stretch. Each byte is read once, a
// piece at a time: no copy of the whole file is kept beside the text. The decoded
// stretches are written straight into the text, each at its byte offset (a stretch
// never has more characters than bytes), then moved together.
//
// A small text is loaded at once, on the calling thread, by the constructor.
class TextLoader {
public:
    struct Options {
        int threads = 0;                 // at most this many; 0: one per processor, up to 4
        qsizetype pieceBytes = 4 << 20;  // read and decoded at a time
        qsizetype threadBytes = 4 << 20; // a thread is worth starting for this much
        // Run by the threads after each piece they decoded.
        std::function<void()> afterPiece;
    };

    // Starts loading from `source`, which must outlive the loader.
    explicit TextLoader(const ByteSource& source);
    TextLoader(const ByteSource& source, Options options);
    // Stops the load and waits for its threads.
    ~TextLoader();
    TextLoader(const TextLoader&) = delete;
    TextLoader& operator=(const TextLoader&) = delete;

    // Waits up to `timeout` for the load to end; true when it has.
    bool wait(std::chrono::milliseconds timeout);
    // How far the load got, from 0 to 1.
    double progress() const;
    // Asks the load to stop; take() then throws.
    void cancel();
    // Waits for the end; then the text, or Error when the source could not be read
    // (its reason) or the load was cancelled (loadCancelledMessage()).
    TextBuffer take();

private:
    // A stretch of the source and what its thread made of it.
    struct Part {
        qsizetype start = 0, end = 0; // bytes of the source
        qsizetype chars = 0;          // decoded, written from text position `start` on
        qsizetype breaks = 0;
        qsizetype position = 0; // where its characters are once moved together
        std::vector<cp932::AlternateForm> alternates; // positions from the part's start
        TextBuffer::Stretch index;
        std::exception_ptr error;
    };

    void split(int parts);
    void run(std::size_t part);
    void decode(Part& part);
    void moveTogether();
    void index(std::size_t part);

    const ByteSource& source_;
    Options options_;
    std::vector<Part> parts_;
    QString text_;
    std::atomic<qsizetype> length_ = 0; // of the text once moved together
    std::atomic<bool> stop_ = false;
    std::atomic<qsizetype> decodedBytes_ = 0;
    std::atomic<qsizetype> indexedChars_ = 0;

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable finished_;
    int running_ = 0;
    int waiting_ = 0;    // threads at the step between decoding and indexing
    int generation_ = 0; // counts those steps passed
    bool taken_ = false;
};

} // namespace qel::textmodel

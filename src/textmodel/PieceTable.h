#pragma once

#include "text/Cp932.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The text of a document as pieces of two buffers that never change once written: the
// text that was loaded, and the text that edits added (which only grows). An edit
// makes a new piece table that shares all but a few pieces with the old one, so a
// version of the text costs little to keep: the undo history keeps whole versions.
namespace qel::textmodel {

// How much a stretch of text holds: characters, line breaks ('\n') and code page 932
// bytes (a line break counts 2).
struct Measure {
    qsizetype chars = 0;
    qsizetype breaks = 0;
    qsizetype bytes = 0;

    Measure& operator+=(const Measure& m) {
        chars += m.chars;
        breaks += m.breaks;
        bytes += m.bytes;
        return *this;
    }
    Measure& operator-=(const Measure& m) {
        chars -= m.chars;
        breaks -= m.breaks;
        bytes -= m.bytes;
        return *this;
    }
    friend Measure operator+(Measure a, const Measure& b) { return a += b; }
    friend Measure operator-(Measure a, const Measure& b) { return a -= b; }
    friend bool operator==(const Measure&, const Measure&) = default;
};

// Text that is only ever appended to. It knows where its line breaks are and how many
// bytes lie before every 256th character, so any stretch of it is measured without a
// pass over the stretch.
class TextBuffer {
public:
    static constexpr qsizetype kStride = 256;

    // The index of a stretch of a text, made apart from the rest of it, so that the
    // stretches of a long text can be indexed at once on several threads.
    struct Stretch {
        qsizetype from = 0, to = 0;         // character positions in the text
        std::vector<qsizetype> breaks;      // positions of its line breaks
        std::vector<qsizetype> strideBytes; // bytes from `from` to each k * kStride in it
        qsizetype bytes = 0;
        qsizetype firstLineBytes = 0; // before its first line break, once it has one
        qsizetype lineStartBytes = 0; // before the start of its last line
        qsizetype longestLine = 0;    // of the lines that lie wholly in it
        // Indexes on to character `end` of `text`.
        void extend(QStringView text, qsizetype end);
    };

    TextBuffer() = default;
    // `alternates` are the codes the loaded bytes used where they differ from the
    // default ones, by index into `text`.
    explicit TextBuffer(QString text, std::vector<cp932::AlternateForm> alternates = {});
    // A buffer over `text` whose index is made already: `stretches` are in order and
    // together cover the whole text.
    TextBuffer(QString text, std::vector<cp932::AlternateForm> alternates,
               std::vector<Stretch> stretches);

    // Appends `text`, which must hold no '\r' and no surrogate pair; returns where it
    // starts.
    qsizetype append(QStringView text);

    qsizetype size() const { return text_.size(); }
    QStringView view(qsizetype start, qsizetype length) const {
        return QStringView(text_).sliced(start, length);
    }
    Measure measure(qsizetype start, qsizetype length) const;
    qsizetype bytesBefore(qsizetype index) const;
    qsizetype breaksBefore(qsizetype index) const;
    // Index of line break number `n` (from 0) of the buffer.
    qsizetype breakAt(qsizetype n) const { return breaks_[std::size_t(n)]; }
    // Index of the character that holds byte `byte` of the buffer, looked for from
    // index `from` on (whose bytesBefore() must not exceed `byte`).
    qsizetype indexOfByte(qsizetype byte, qsizetype from) const;
    // The text itself (shared, not copied).
    const QString& text() const { return text_; }

    // Measures stretches that mostly come in order, by walking on from the last one
    // rather than looking each end up.
    class Walker {
    public:
        explicit Walker(const TextBuffer& buffer) : buffer_(buffer) {}
        Measure measure(qsizetype start, qsizetype length);

    private:
        Measure before(qsizetype index);
        const TextBuffer& buffer_;
        Measure at_; // before character at_.chars
    };
    const std::vector<cp932::AlternateForm>& alternates() const { return alternates_; }
    // The byte length of its longest line (without the line break).
    qsizetype longestLineBytes() const { return std::max(longestLine_, bytes_ - lineStartBytes_); }

private:
    void index(qsizetype from);
    void add(Stretch&& stretch);

    QString text_;
    std::vector<qsizetype> breaks_;
    std::vector<qsizetype> strideBytes_; // bytes before character k * kStride
    qsizetype bytes_ = 0;
    qsizetype lineStartBytes_ = 0; // bytes before the last line
    qsizetype longestLine_ = 0;    // of the lines before the last
    std::vector<cp932::AlternateForm> alternates_;
};

// The two buffers a piece table's pieces point into.
struct Buffers {
    enum Index : int { Loaded = 0, Added = 1 };
    TextBuffer buffer[2];
};

struct Piece {
    int buffer = Buffers::Loaded;
    qsizetype start = 0; // in its buffer
    Measure measure;     // measure.chars is the piece's length
};

struct PieceNode;
using NodePtr = std::shared_ptr<const PieceNode>;

// One version of the text: immutable, cheap to copy. Its pieces are held in a
// balanced tree (a treap) whose nodes know the measure of their subtree, so a
// character position, a line number or a byte offset is found in O(log n).
class PieceTable {
public:
    PieceTable() = default;
    explicit PieceTable(std::shared_ptr<Buffers> buffers) : buffers_(std::move(buffers)) {}
    // The table of `pieces`, in order, over `buffers`.
    PieceTable(std::shared_ptr<Buffers> buffers, const std::vector<Piece>& pieces);

    const std::shared_ptr<Buffers>& buffers() const { return buffers_; }
    Measure measure() const;
    qsizetype length() const { return measure().chars; }
    // Same pieces, so surely the same text.
    bool sharesText(const PieceTable& other) const {
        return root_ == other.root_ && buffers_ == other.buffers_;
    }

    // Measure of the text before `position`; without bytes when `bytes` is false.
    Measure measureBefore(qsizetype position, bool bytes = true) const;
    Measure measure(qsizetype from, qsizetype to) const {
        return measureBefore(to) - measureBefore(from);
    }
    // Start of line `line` (from 0); lines past the last give the length.
    qsizetype lineStart(qsizetype line) const;
    // The character that holds byte `offset`; offsets past the end give the length.
    qsizetype positionOfByte(qsizetype offset) const;
    QChar at(qsizetype position) const;
    QString text(qsizetype from, qsizetype to) const;
    // The runs of text between `from` and `to`, each within one piece, in order,
    // until `visit` returns false.
    void forEachRun(qsizetype from, qsizetype to,
                    const std::function<bool(const Piece& run)>& visit) const;
    // The whole text when it is one run of the loaded buffer, without a copy.
    bool isWholeLoadedText() const;
    std::vector<Piece> pieces() const;

    // The text with `removed` characters at `position` replaced by `inserted`, a
    // stretch of one of the buffers (nothing when its length is 0).
    PieceTable replaced(qsizetype position, qsizetype removed, const Piece& inserted) const;

private:
    PieceTable(std::shared_ptr<Buffers> buffers, NodePtr root)
        : buffers_(std::move(buffers)), root_(std::move(root)) {}

    std::shared_ptr<Buffers> buffers_;
    NodePtr root_;
};

} // namespace qel::textmodel

#include "PieceTable.h"

#include <algorithm>
#include <array>
#include <cassert>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qel::textmodel {

// ---- TextBuffer

TextBuffer::TextBuffer(QString text, std::vector<cp932::AlternateForm> alternates)
    : text_(std::move(text)), alternates_(std::move(alternates)) {
    index(0);
}

TextBuffer::TextBuffer(QString text, std::vector<cp932::AlternateForm> alternates,
                       std::vector<Stretch> stretches)
    : text_(std::move(text)), alternates_(std::move(alternates)) {
    // The first stretch's line breaks become the buffer's: room for all of them is
    // best made there.
    strideBytes_.reserve(std::size_t((text_.size() + kStride - 1) / kStride));
    for (Stretch& s : stretches)
        add(std::move(s));
}

qsizetype TextBuffer::append(QStringView text) {
    const qsizetype start = text_.size();
    text_ += text;
    index(start);
    return start;
}

void TextBuffer::index(qsizetype from) {
    Stretch s;
    s.from = s.to = from;
    s.extend(text_, text_.size());
    add(std::move(s));
}

#if defined(__SSE2__)
namespace {

// Of eight characters, a bit for each that is a line break and a bit for each that
// code page 932 writes as two bytes: a line break and any character but ASCII,
// half-width katakana (U+FF61-U+FF9F) and a byte that did not decode (its reserved
// code point).
struct EightCharacters {
    unsigned breaks = 0, twoBytes = 0;
};
EightCharacters classify(__m128i v) {
    const __m128i zero = _mm_setzero_si128();
    const auto within = [&](char16_t first, char16_t last) {
        const __m128i offset = _mm_sub_epi16(v, _mm_set1_epi16(short(first)));
        const __m128i bias = _mm_set1_epi16(short(0x8000));
        return _mm_cmplt_epi16(_mm_xor_si128(offset, bias),
                               _mm_xor_si128(_mm_set1_epi16(short(last - first + 1)), bias));
    };
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFF80))), zero);
    const __m128i single = _mm_or_si128(
        ascii, _mm_or_si128(within(u'\uFF61', u'\uFF9F'),
                            within(cp932::reservedFor(0x80), cp932::reservedFor(0xFF))));
    const __m128i breaks = _mm_cmpeq_epi16(v, _mm_set1_epi16('\n'));
    const __m128i two = _mm_or_si128(_mm_andnot_si128(single, _mm_set1_epi16(-1)), breaks);
    return {unsigned(_mm_movemask_epi8(_mm_packs_epi16(breaks, zero))),
            unsigned(_mm_movemask_epi8(_mm_packs_epi16(two, zero)))};
}

// Set bits in a byte.
constexpr std::array<unsigned char, 256> kBitCounts = [] {
    std::array<unsigned char, 256> counts{};
    for (int i = 0; i < 256; ++i)
        for (int b = i; b; b &= b - 1)
            ++counts[std::size_t(i)];
    return counts;
}();

} // namespace
#endif

void TextBuffer::Stretch::extend(QStringView text, qsizetype end) {
    const unsigned char* length = cp932::byteLengthTable();
    const char16_t* const chars = text.utf16();
    const auto lineBreak = [this](qsizetype at, qsizetype bytesBefore) {
        if (breaks.empty())
            firstLineBytes = bytesBefore;
        else
            longestLine = std::max(longestLine, bytesBefore - lineStartBytes);
        breaks.push_back(at);
        lineStartBytes = bytesBefore + 2;
    };
    qsizetype i = to;
    while (i < end) {
        if (i % kStride == 0)
            strideBytes.push_back(bytes);
        const qsizetype blockEnd = std::min(end, (i / kStride + 1) * kStride);
#if defined(__SSE2__)
        // Eight characters at a time; ASCII without a line break, common in any text,
        // sixteen at a time.
        const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
        const __m128i feed = _mm_set1_epi16('\n');
        for (; i + 8 <= blockEnd; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i));
            if (i + 16 <= blockEnd) {
                const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i + 8));
                const __m128i plain =
                    _mm_or_si128(_mm_and_si128(_mm_or_si128(v, w), nonAscii),
                                 _mm_or_si128(_mm_cmpeq_epi16(v, feed), _mm_cmpeq_epi16(w, feed)));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(plain, _mm_setzero_si128())) == 0xFFFF) {
                    bytes += 16;
                    i += 8; // and 8 more by the loop
                    continue;
                }
            }
            const EightCharacters eight = classify(v);
            for (unsigned b = eight.breaks; b != 0; b &= b - 1) {
                const int lane = __builtin_ctz(b);
                lineBreak(i + lane, bytes + lane + kBitCounts[eight.twoBytes & ((1u << lane) - 1)]);
            }
            bytes += 8 + kBitCounts[eight.twoBytes];
        }
#endif
        for (; i < blockEnd; ++i) {
            const char16_t c = chars[i];
            if (c == u'\n')
                lineBreak(i, bytes);
            bytes += length[c];
        }
    }
    to = end;
}

void TextBuffer::add(Stretch&& s) {
    const qsizetype before = bytes_;
    if (!s.breaks.empty()) {
        longestLine_ =
            std::max({longestLine_, before - lineStartBytes_ + s.firstLineBytes, s.longestLine});
        lineStartBytes_ = before + s.lineStartBytes;
    }
    if (breaks_.empty())
        breaks_ = std::move(s.breaks);
    else
        breaks_.insert(breaks_.end(), s.breaks.begin(), s.breaks.end());
    for (const qsizetype b : s.strideBytes)
        strideBytes_.push_back(before + b);
    bytes_ = before + s.bytes;
}

qsizetype TextBuffer::bytesBefore(qsizetype index) const {
    if (index >= text_.size())
        return bytes_;
    const unsigned char* length = cp932::byteLengthTable();
    const char16_t* const chars = reinterpret_cast<const char16_t*>(text_.utf16());
    qsizetype i = index / kStride * kStride;
    qsizetype bytes = strideBytes_[std::size_t(i / kStride)];
    for (; i < index; ++i)
        bytes += length[chars[i]];
    return bytes;
}

qsizetype TextBuffer::breaksBefore(qsizetype index) const {
    return std::lower_bound(breaks_.begin(), breaks_.end(), index) - breaks_.begin();
}

Measure TextBuffer::measure(qsizetype start, qsizetype length) const {
    if (length <= 0)
        return {};
    const qsizetype end = start + length;
    return {length, breaksBefore(end) - breaksBefore(start), bytesBefore(end) - bytesBefore(start)};
}

qsizetype TextBuffer::indexOfByte(qsizetype byte, qsizetype from) const {
    if (byte >= bytes_)
        return text_.size();
    // The last stride start whose bytes do not exceed `byte`, but not before `from`.
    const auto stride = std::upper_bound(strideBytes_.begin(), strideBytes_.end(), byte) - 1;
    qsizetype i = std::max<qsizetype>((stride - strideBytes_.begin()) * kStride, from);
    qsizetype bytes = bytesBefore(i);
    const unsigned char* length = cp932::byteLengthTable();
    const char16_t* const chars = reinterpret_cast<const char16_t*>(text_.utf16());
    for (const qsizetype n = text_.size(); i < n; ++i) {
        bytes += length[chars[i]];
        if (bytes > byte)
            return i;
    }
    return text_.size();
}

Measure TextBuffer::Walker::before(qsizetype index) {
    index = std::clamp<qsizetype>(index, 0, buffer_.size());
    if (index < at_.chars || index - at_.chars > 4 * kStride) {
        at_ = {index, buffer_.breaksBefore(index), buffer_.bytesBefore(index)};
        return at_;
    }
    const unsigned char* length = cp932::byteLengthTable();
    const char16_t* const chars = reinterpret_cast<const char16_t*>(buffer_.text_.utf16());
    for (qsizetype i = at_.chars; i < index; ++i) {
        const char16_t c = chars[i];
        at_.bytes += length[c];
        at_.breaks += c == u'\n';
    }
    at_.chars = index;
    return at_;
}

Measure TextBuffer::Walker::measure(qsizetype start, qsizetype length) {
    if (length <= 0)
        return {};
    const Measure first = before(start);
    return before(start + length) - first;
}

// ---- the tree

struct PieceNode {
    Piece piece;
    Measure total; // the whole subtree's
    NodePtr left, right;
    std::uint32_t priority = 0;
};

namespace {

// Priorities for new nodes: a fixed sequence, so that the shape of a tree (and a
// failure) can be replayed.
std::uint32_t nextPriority() {
    static std::uint32_t state = 0x9e3779b9u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

Measure totalOf(const NodePtr& n) {
    return n ? n->total : Measure{};
}

NodePtr makeNode(const Piece& piece, NodePtr left, NodePtr right, std::uint32_t priority) {
    auto node = std::make_shared<PieceNode>();
    node->total = totalOf(left) + piece.measure + totalOf(right);
    node->piece = piece;
    node->left = std::move(left);
    node->right = std::move(right);
    node->priority = priority;
    return node;
}

NodePtr merge(const NodePtr& a, const NodePtr& b) {
    if (!a)
        return b;
    if (!b)
        return a;
    if (a->priority >= b->priority)
        return makeNode(a->piece, a->left, merge(a->right, b), a->priority);
    return makeNode(b->piece, merge(a, b->left), b->right, b->priority);
}

std::pair<Piece, Piece> cut(const Buffers& buffers, const Piece& p, qsizetype at) {
    Piece left{p.buffer, p.start, buffers.buffer[p.buffer].measure(p.start, at)};
    Piece right{p.buffer, p.start + at, p.measure - left.measure};
    return {left, right};
}

// The first `position` characters, and the rest.
std::pair<NodePtr, NodePtr> split(const Buffers& buffers, const NodePtr& t, qsizetype position) {
    if (!t)
        return {};
    if (position <= 0)
        return {nullptr, t};
    if (position >= t->total.chars)
        return {t, nullptr};
    const qsizetype leftChars = totalOf(t->left).chars;
    const qsizetype pieceEnd = leftChars + t->piece.measure.chars;
    if (position <= leftChars) {
        auto [a, b] = split(buffers, t->left, position);
        return {std::move(a), makeNode(t->piece, std::move(b), t->right, t->priority)};
    }
    if (position >= pieceEnd) {
        auto [a, b] = split(buffers, t->right, position - pieceEnd);
        return {makeNode(t->piece, t->left, std::move(a), t->priority), std::move(b)};
    }
    // The second part is a new node with a priority of its own: pieces cut from one
    // node must not share its priority, or the tree degenerates into a list.
    const auto [first, second] = cut(buffers, t->piece, position - leftChars);
    return {makeNode(first, t->left, nullptr, t->priority),
            merge(makeNode(second, nullptr, nullptr, nextPriority()), t->right)};
}

// `t` with its last piece grown by `piece`, which follows it in the same buffer.
NodePtr extendLast(const NodePtr& t, const Piece& piece) {
    if (t->right)
        return makeNode(t->piece, t->left, extendLast(t->right, piece), t->priority);
    const Piece& last = t->piece;
    return makeNode({last.buffer, last.start, last.measure + piece.measure}, t->left, nullptr,
                    t->priority);
}

const Piece* lastPiece(const PieceNode* t) {
    while (t && t->right)
        t = t->right.get();
    return t ? &t->piece : nullptr;
}

// `t` with `piece` put at its end, joined to its last piece when that one ends where
// `piece` starts in the same buffer (typing adds one character at a time).
NodePtr append(const NodePtr& t, const Piece& piece) {
    const Piece* last = lastPiece(t.get());
    if (last && last->buffer == piece.buffer && last->start + last->measure.chars == piece.start)
        return extendLast(t, piece);
    return merge(t, makeNode(piece, nullptr, nullptr, nextPriority()));
}

// A balanced tree of pieces[from, to); a node's priority falls with its depth, so
// that it is a treap, and later nodes (random priorities) mostly join at the bottom.
NodePtr build(const std::vector<Piece>& pieces, std::size_t from, std::size_t to, int depth) {
    if (from >= to)
        return nullptr;
    const std::size_t mid = from + (to - from) / 2;
    NodePtr left = build(pieces, from, mid, depth + 1);
    NodePtr right = build(pieces, mid + 1, to, depth + 1);
    const int band = std::min(depth, 60);
    const std::uint32_t priority =
        0xFFFFFFFFu - std::uint32_t(band) * (1u << 26) - (nextPriority() & ((1u << 26) - 1));
    return makeNode(pieces[mid], std::move(left), std::move(right), priority);
}

// False once `visit` has asked to stop.
bool visitRuns(const PieceNode* n, qsizetype offset, qsizetype from, qsizetype to,
               const std::function<bool(const Piece&)>& visit, const Buffers& buffers) {
    if (!n || to <= offset || from >= offset + n->total.chars)
        return true;
    const qsizetype leftChars = totalOf(n->left).chars;
    if (!visitRuns(n->left.get(), offset, from, to, visit, buffers))
        return false;
    const qsizetype start = offset + leftChars;
    const qsizetype end = start + n->piece.measure.chars;
    const qsizetype a = std::max(from, start);
    const qsizetype b = std::min(to, end);
    if (a < b) {
        bool more = true;
        if (a == start && b == end) {
            more = visit(n->piece);
        } else {
            const qsizetype at = n->piece.start + (a - start);
            more = visit({n->piece.buffer, at, buffers.buffer[n->piece.buffer].measure(at, b - a)});
        }
        if (!more)
            return false;
    }
    return visitRuns(n->right.get(), end, from, to, visit, buffers);
}

} // namespace

// ---- PieceTable

PieceTable::PieceTable(std::shared_ptr<Buffers> buffers, const std::vector<Piece>& pieces)
    : buffers_(std::move(buffers)), root_(build(pieces, 0, pieces.size(), 0)) {}

Measure PieceTable::measure() const {
    return totalOf(root_);
}

Measure PieceTable::measureBefore(qsizetype position, bool bytes) const {
    Measure m;
    const PieceNode* n = root_.get();
    while (n) {
        const Measure left = totalOf(n->left);
        if (position < left.chars) {
            n = n->left.get();
            continue;
        }
        m += left;
        position -= left.chars;
        const Piece& p = n->piece;
        if (position < p.measure.chars) {
            const TextBuffer& b = buffers_->buffer[p.buffer];
            m.chars += position;
            m.breaks += b.breaksBefore(p.start + position) - b.breaksBefore(p.start);
            if (bytes)
                m.bytes += b.bytesBefore(p.start + position) - b.bytesBefore(p.start);
            return m;
        }
        m += p.measure;
        position -= p.measure.chars;
        n = n->right.get();
    }
    return m;
}

qsizetype PieceTable::lineStart(qsizetype line) const {
    if (line <= 0)
        return 0;
    qsizetype k = line; // the line starts after break number k, counted from 1
    qsizetype position = 0;
    const PieceNode* n = root_.get();
    while (n) {
        const Measure left = totalOf(n->left);
        if (k <= left.breaks) {
            n = n->left.get();
            continue;
        }
        k -= left.breaks;
        position += left.chars;
        const Piece& p = n->piece;
        if (k <= p.measure.breaks) {
            const TextBuffer& b = buffers_->buffer[p.buffer];
            return position + b.breakAt(b.breaksBefore(p.start) + k - 1) - p.start + 1;
        }
        k -= p.measure.breaks;
        position += p.measure.chars;
        n = n->right.get();
    }
    return length();
}

qsizetype PieceTable::positionOfByte(qsizetype offset) const {
    if (offset <= 0)
        return 0;
    qsizetype position = 0;
    const PieceNode* n = root_.get();
    while (n) {
        const Measure left = totalOf(n->left);
        if (offset < left.bytes) {
            n = n->left.get();
            continue;
        }
        offset -= left.bytes;
        position += left.chars;
        const Piece& p = n->piece;
        if (offset < p.measure.bytes) {
            const TextBuffer& b = buffers_->buffer[p.buffer];
            return position + b.indexOfByte(b.bytesBefore(p.start) + offset, p.start) - p.start;
        }
        offset -= p.measure.bytes;
        position += p.measure.chars;
        n = n->right.get();
    }
    return position;
}

QChar PieceTable::at(qsizetype position) const {
    const PieceNode* n = root_.get();
    while (n) {
        const qsizetype leftChars = totalOf(n->left).chars;
        if (position < leftChars) {
            n = n->left.get();
            continue;
        }
        position -= leftChars;
        if (position < n->piece.measure.chars)
            return buffers_->buffer[n->piece.buffer].view(n->piece.start + position, 1)[0];
        position -= n->piece.measure.chars;
        n = n->right.get();
    }
    return QChar();
}

bool PieceTable::isWholeLoadedText() const {
    return root_ && !root_->left && !root_->right && root_->piece.buffer == Buffers::Loaded &&
           root_->piece.start == 0 &&
           root_->piece.measure.chars == buffers_->buffer[Buffers::Loaded].size();
}

void PieceTable::forEachRun(qsizetype from, qsizetype to,
                            const std::function<bool(const Piece& run)>& visit) const {
    if (from < to)
        visitRuns(root_.get(), 0, from, to, visit, *buffers_);
}

QString PieceTable::text(qsizetype from, qsizetype to) const {
    from = std::clamp<qsizetype>(from, 0, length());
    to = std::clamp<qsizetype>(to, from, length());
    if (from == 0 && to == length() && isWholeLoadedText())
        return buffers_->buffer[Buffers::Loaded].text(); // shared: that buffer never grows
    QString out;
    out.reserve(to - from);
    forEachRun(from, to, [&](const Piece& run) {
        out += buffers_->buffer[run.buffer].view(run.start, run.measure.chars);
        return true;
    });
    return out;
}

std::vector<Piece> PieceTable::pieces() const {
    std::vector<Piece> out;
    forEachRun(0, length(), [&](const Piece& run) {
        out.push_back(run);
        return true;
    });
    return out;
}

PieceTable PieceTable::replaced(qsizetype position, qsizetype removed,
                                const Piece& inserted) const {
    const qsizetype total = length();
    position = std::clamp<qsizetype>(position, 0, total);
    removed = std::clamp<qsizetype>(removed, 0, total - position);
    auto [before, rest] = split(*buffers_, root_, position);
    NodePtr after = split(*buffers_, rest, removed).second;
    if (inserted.measure.chars > 0)
        before = append(before, inserted);
    return PieceTable(buffers_, merge(before, after));
}

} // namespace qel::textmodel

// The document model against a plain reference: a QString with the code each loaded
// character had, whole copies as the undo history. Random edit scripts (typing from
// several views, deletes, pastes, Replace All, undo, redo, loads, saves) are compared
// after every step: text, byte offsets, line index, the bytes a save writes, the
// changes the views are told of, the modified state and what is left to undo.
#include "textmodel/TextDocument.h"
#include "../TestPrinters.h"

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

namespace qel::textmodel {
namespace {

// The plain reference: the text, and per character the code it was loaded with when
// that is not the default one (0 otherwise).
struct Reference {
    QString text;
    std::vector<quint16> codes;

    void load(const QByteArray& bytes) {
        const cp932::Decoded d = cp932::decode(bytes);
        text = d.text;
        codes.assign(std::size_t(text.size()), 0);
        for (const cp932::AlternateForm& f : d.alternates)
            codes[std::size_t(f.position)] = f.code;
    }
    void replace(qsizetype position, qsizetype removed, const QString& clean) {
        text.replace(position, removed, clean);
        codes.erase(codes.begin() + position, codes.begin() + position + removed);
        codes.insert(codes.begin() + position, std::size_t(clean.size()), 0);
    }
    QByteArray encoded() const {
        std::vector<cp932::AlternateForm> forms;
        for (std::size_t i = 0; i < codes.size(); ++i)
            if (codes[i] != 0)
                forms.push_back({qsizetype(i), codes[i]});
        return cp932::encode(text, forms);
    }
    friend bool operator==(const Reference&, const Reference&) = default;
};

// Replays every change the document reports onto a copy of the text, and checks the
// line numbers the change gives.
class ChangeMirror : public TextObserver {
public:
    explicit ChangeMirror(TextDocument& doc) : doc_(doc) { doc.addObserver(this); }
    ~ChangeMirror() { doc_.removeObserver(this); }
    QString text;
    int wrongLines = 0;

    void textChanged(const TextChange& c) override {
        const QString removed = text.mid(c.position, c.removed);
        const QString added = doc_.text(c.position, c.position + c.added);
        if (c.line != text.left(c.position).count(u'\n') ||
            c.removedBreaks != removed.count(u'\n') || c.addedBreaks != added.count(u'\n'))
            ++wrongLines;
        text.replace(c.position, c.removed, added);
    }

private:
    TextDocument& doc_;
};

const char* const kLoadPieces[] = {
    "a",        "Z",        " ",        "\r\n",     "\r",       "\n",       "\t",
    "\x82\xa0", "\x93\xfa", "\xb1",     "\x87\x90", "\x81\xe0", "\xed\x40", "\xfa\x5c",
    "\xee\xf9", "\xfa\x54", "\x81\xca", "\x80",     "\xff",     "\xa0",     "\x81",
};

const char16_t* const kTypedPieces[] = {
    u"a", u"b", u"あ", u"\n", u"\r\n", u"\r", u"ｶ", u"€", u"😀", u"≒", u"\xdc81", u"\t", u"漢字",
};

class Script {
public:
    explicit Script(unsigned seed) : rng_(seed) {}

    int pick(int n) { return int(rng_() % unsigned(n)); }
    bool chance(int percent) { return pick(100) < percent; }

    QByteArray bytes(int pieces) {
        QByteArray out;
        for (int i = 0; i < pieces; ++i)
            out += kLoadPieces[pick(int(std::size(kLoadPieces)))];
        return out;
    }
    QString typed(int pieces) {
        QString out;
        for (int i = 0; i < pieces; ++i)
            out += QString::fromUtf16(kTypedPieces[pick(int(std::size(kTypedPieces)))]);
        return out;
    }

private:
    std::mt19937 rng_;
};

// What the reference keeps of a typed run, to know when the next key joins it.
struct Run {
    const void* source = nullptr;
    EditKind kind = EditKind::Command;
    qsizetype at = -1; // where the next typed character continues the run
};

void expectSame(const TextDocument& doc, const Reference& ref, Script& script) {
    const QString& text = ref.text;
    ASSERT_EQ(doc.text(), text);
    ASSERT_EQ(doc.length(), text.size());
    ASSERT_EQ(doc.byteLength(), cp932::byteLength(text));
    ASSERT_EQ(doc.lineCount(), text.count(u'\n') + 1);
    ASSERT_EQ(doc.encoded(), ref.encoded());
    for (int i = 0; i < 4; ++i) {
        const qsizetype pos = script.pick(int(text.size() + 1));
        ASSERT_EQ(doc.byteOffsetOf(pos), cp932::byteOffset(text, pos)) << pos;
        ASSERT_EQ(doc.lineOf(pos), text.left(pos).count(u'\n')) << pos;
        if (pos < text.size()) {
            ASSERT_EQ(doc.at(pos), text[pos]);
        }
        const qsizetype byte = script.pick(int(doc.byteLength() + 3));
        ASSERT_EQ(doc.positionOfByte(byte), cp932::charPosition(text, byte)) << byte;
        const QStringList lines = text.split(u'\n');
        const qsizetype line = script.pick(int(lines.size()));
        qsizetype start = 0;
        for (qsizetype l = 0; l < line; ++l)
            start += lines[l].size() + 1;
        ASSERT_EQ(doc.lineStart(line), start) << line;
        ASSERT_EQ(doc.lineEnd(line), start + lines[line].size()) << line;
        ASSERT_EQ(doc.lineText(line), lines[line]);
    }
}

void runScript(unsigned seed, int steps, int longTextPercent) {
    SCOPED_TRACE(seed);
    Script script(seed);
    TextDocument doc;
    ChangeMirror mirror(doc);
    Reference ref;
    std::vector<Reference> undo, redo;
    Run run;
    int sources[3];
    int depth = 0; // open beginStep()s
    Reference saved;
    doc.markSaved();

    const auto step = [&](const char* what) {
        SCOPED_TRACE(what);
        expectSame(doc, ref, script);
        ASSERT_EQ(mirror.text, ref.text);
        ASSERT_EQ(mirror.wrongLines, 0);
        ASSERT_EQ(doc.differsFromSaved(), ref.text != saved.text);
        if (depth == 0) {
            ASSERT_EQ(doc.canUndo(), !undo.empty());
            ASSERT_EQ(doc.canRedo(), !redo.empty());
        }
    };
    // The reference's history after an edit: a new step unless the edit joins the
    // last one, or a group is open whose step has begun.
    bool groupStarted = false;
    const auto record = [&](const Reference& before, bool joins) {
        if (depth > 0) {
            if (!groupStarted)
                undo.push_back(before);
            groupStarted = true;
        } else if (!joins) {
            undo.push_back(before);
        }
        redo.clear();
    };

    for (int i = 0; i < steps && !::testing::Test::HasFatalFailure(); ++i) {
        const qsizetype length = ref.text.size();
        const void* source = &sources[script.pick(3)];
        const int op = script.pick(100);
        const Reference before = ref;
        if (op < 3 && depth == 0) {
            const QByteArray bytes =
                script.bytes(script.chance(longTextPercent) ? 1500 : script.pick(40));
            doc.load(cp932::decode(bytes));
            ref.load(bytes);
            undo.clear();
            redo.clear();
            run = {};
            step("load");
        } else if (op < 40) {
            // A typed character: often where this view's run goes on.
            const bool goOn = run.source == source && run.kind == EditKind::TypedInsert &&
                              run.at <= length && script.chance(70);
            const qsizetype at = goOn ? run.at : script.pick(int(length + 1));
            const qsizetype removed =
                !goOn && script.chance(10) ? script.pick(int(length - at + 1)) : 0;
            const QString text = script.typed(1);
            const QString clean = cp932::toRepresentable(text);
            doc.replace(at, removed, text, source, EditKind::TypedInsert);
            record(before, run.source == source && run.kind == EditKind::TypedInsert &&
                               removed == 0 && at == run.at);
            ref.replace(at, removed, clean);
            if (depth == 0)
                run = {source, EditKind::TypedInsert, at + clean.size()};
            step("typed");
        } else if (op < 55 && length > 0) {
            // Backspace or Delete on one character.
            const bool goOn =
                run.source == source && run.kind == EditKind::TypedDelete && script.chance(70);
            qsizetype at = goOn ? run.at : script.pick(int(length));
            const bool back = script.chance(50);
            if (back && goOn)
                --at;
            if (at < 0 || at >= length)
                continue;
            doc.replace(at, 1, QString(), source, EditKind::TypedDelete);
            record(before, run.source == source && run.kind == EditKind::TypedDelete &&
                               (at + 1 == run.at || at == run.at));
            ref.replace(at, 1, QString());
            if (depth == 0)
                run = {source, EditKind::TypedDelete, at};
            step("deleted");
        } else if (op < 68) {
            // A paste, cut or replace: one step each.
            const qsizetype at = script.pick(int(length + 1));
            const qsizetype removed = script.pick(int(std::min<qsizetype>(length - at, 12) + 1));
            const QString text =
                script.chance(5) ? script.typed(600) : script.typed(script.pick(5));
            const QString clean = cp932::toRepresentable(text);
            doc.replace(at, removed, text, source);
            if (removed > 0 || !clean.isEmpty()) {
                record(before, false);
                ref.replace(at, removed, clean);
                if (depth == 0)
                    run = {};
            }
            step("replaced");
        } else if (op < 75 && length > 0) {
            // Replacements made in turn at places in the text as it is each time.
            const qsizetype k = 1 + script.pick(3);
            const QString with = script.typed(script.pick(3));
            const QString clean = cp932::toRepresentable(with);
            std::vector<qsizetype> positions;
            Reference after = ref;
            for (int n = script.pick(8) + 1; n > 0 && after.text.size() >= k; --n) {
                const qsizetype at = script.pick(int(after.text.size() - k + 1));
                positions.push_back(at);
                after.replace(at, k, clean);
            }
            if (positions.empty())
                continue;
            doc.replaceInTurn(positions, k, with, source);
            record(before, false);
            ref = after;
            if (depth == 0)
                run = {};
            step("replaced in turn");
        } else if (op < 85 && depth == 0) {
            doc.undo(source);
            if (!undo.empty()) { // with nothing to undo, a typed run goes on
                redo.push_back(ref);
                ref = undo.back();
                undo.pop_back();
                run = {};
            }
            step("undo");
        } else if (op < 90 && depth == 0) {
            doc.redo(source);
            if (!redo.empty()) {
                undo.push_back(ref);
                ref = redo.back();
                redo.pop_back();
                run = {};
            }
            step("redo");
        } else if (op < 93) {
            doc.endTypingRun();
            if (depth == 0)
                run = {};
        } else if (op < 96) {
            doc.markSaved();
            saved = ref;
            step("saved");
        } else if (depth == 0) {
            doc.beginStep();
            ++depth;
            groupStarted = false;
            run = {};
        } else {
            doc.endStep();
            if (--depth == 0)
                run = {};
        }
    }
}

TEST(TextDocumentModel, MatchesThePlainReferenceOnRandomEditScripts) {
    for (unsigned seed = 1; seed <= 12; ++seed)
        runScript(seed, 1500, 0);
}

// Long loaded texts and long pastes: offsets across the buffers' measuring strides.
TEST(TextDocumentModel, MatchesThePlainReferenceOnLongTexts) {
    for (unsigned seed = 101; seed <= 104; ++seed)
        runScript(seed, 600, 60);
}

// Undo steps as the user meets them. Each row: the edits, then the texts that each
// undo in turn gives.
TEST(TextDocumentModel, UndoStepsFollowTheUsersEdits) {
    int a = 0, b = 0; // two views
    enum Op { TypeA, TypeB, BackA, DelA, Move, Paste, ReplaceAll, Group, Ungroup };
    struct Row {
        const char* name;
        std::vector<std::pair<Op, QString>> edits;
        QStringList undone;
    };
    const Row rows[] = {
        {"edits of different views are never one step",
         {{TypeA, u"abc"_s}, {TypeB, u"def"_s}},
         {u"abc"_s, u""_s}},
        {"a typed run is one step until the caret moves",
         {{TypeA, u"ab"_s}, {Move, {}}, {TypeA, u"cd"_s}},
         {u"ab"_s, u""_s}},
        {"Backspaces in a row are one step, typing after them another",
         {{TypeA, u"abcd"_s}, {BackA, u"2"_s}, {TypeA, u"x"_s}},
         {u"ab"_s, u"abcd"_s, u""_s}},
        {"Delete in a row is one step",
         {{TypeA, u"abcd"_s}, {Move, {}}, {DelA, u"2"_s}},
         {u"abcd"_s, u""_s}},
        {"each paste is a step of its own",
         {{Paste, u"12"_s}, {Paste, u"34"_s}, {TypeA, u"x"_s}},
         {u"1234"_s, u"12"_s, u""_s}},
        {"a Replace All is one step",
         {{TypeA, u"a-a-a"_s}, {ReplaceAll, u"a"_s}},
         {u"a-a-a"_s, u""_s}},
        {"a group is one step",
         {{TypeA, u"ab"_s}, {Group, {}}, {Paste, u"1"_s}, {TypeB, u"2"_s}, {Ungroup, {}}},
         {u"ab"_s, u""_s}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TextDocument doc;
        qsizetype caretA = 0;
        for (const auto& [op, text] : row.edits) {
            switch (op) {
            case TypeA:
            case TypeB:
                for (QChar c : text) {
                    const qsizetype at = op == TypeA ? caretA : doc.length();
                    doc.replace(at, 0, QString(c), op == TypeA ? &a : &b, EditKind::TypedInsert);
                    if (op == TypeA)
                        caretA = at + 1;
                }
                break;
            case BackA:
                for (int n = text.toInt(); n > 0; --n)
                    doc.replace(--caretA, 1, QString(), &a, EditKind::TypedDelete);
                break;
            case DelA:
                caretA = 0;
                for (int n = text.toInt(); n > 0; --n)
                    doc.replace(caretA, 1, QString(), &a, EditKind::TypedDelete);
                break;
            case Move:
                doc.endTypingRun();
                caretA = 0;
                break;
            case Paste:
                doc.replace(doc.length(), 0, text, &a);
                caretA = doc.length();
                break;
            case ReplaceAll: {
                // Each place as it is once the ones before are replaced.
                std::vector<qsizetype> at;
                QString turn = doc.text();
                for (qsizetype p = 0; (p = turn.indexOf(text, p)) >= 0; p += 2) {
                    at.push_back(p);
                    turn.replace(p, text.size(), u"bb"_s);
                }
                doc.replaceInTurn(at, text.size(), u"bb"_s, &a);
                EXPECT_EQ(doc.text(), u"bb-bb-bb"_s);
                break;
            }
            case Group:
                doc.beginStep();
                break;
            case Ungroup:
                doc.endStep();
                break;
            }
        }
        QStringList undone;
        while (doc.canUndo()) {
            doc.undo(&b);
            undone << doc.text();
        }
        EXPECT_EQ(undone, row.undone);
    }
}

// The codes loaded characters had survive edits around them, and come back with an
// undo of the edit that took them out.
TEST(TextDocumentModel, LoadedCodesSurviveEditsAndUndo) {
    // ≒ as 0x8790, 纊 as 0xED40, an undecodable byte, ￢ as 0xEEF9, each on a line.
    const QByteArray original = QByteArray("\x87\x90\r\n\xed\x40\r\n\x80\r\n\xee\xf9", 13);
    TextDocument doc;
    doc.load(cp932::decode(original));
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(doc.encoded(), original);

    doc.replace(0, doc.length(), QString(), nullptr); // select all, delete
    EXPECT_EQ(doc.encoded(), QByteArray());
    doc.undo();
    EXPECT_EQ(doc.encoded(), original);

    // A Replace All over the whole span keeps what lies between its replacements.
    std::vector<qsizetype> breaks;
    for (qsizetype p = 0; (p = doc.text().indexOf(u'\n', p)) >= 0; ++p)
        breaks.push_back(p);
    doc.replaceInTurn(breaks, 1, u" "_s);
    EXPECT_EQ(doc.encoded(), QByteArray("\x87\x90 \xed\x40 \x80 \xee\xf9", 10));

    // A typed copy of the same character is written in the default code.
    doc.replace(0, 0, u"≒"_s);
    EXPECT_EQ(doc.encoded().left(4), QByteArray("\x81\xe0\x87\x90"));
}

// The modified state follows the text, not the history.
TEST(TextDocumentModel, DiffersFromSavedFollowsTheText) {
    TextDocument doc;
    doc.load(cp932::decode("one\r\ntwo"));
    doc.markSaved();
    EXPECT_FALSE(doc.differsFromSaved());
    doc.replace(2, 0, u"x"_s, nullptr, EditKind::TypedInsert);
    EXPECT_TRUE(doc.differsFromSaved());
    doc.replace(2, 1, QString(), nullptr, EditKind::TypedDelete);
    EXPECT_FALSE(doc.differsFromSaved()); // typed and taken out again
    doc.replace(0, 3, u"one"_s);          // the same text put in again
    EXPECT_FALSE(doc.differsFromSaved());
    doc.replace(4, 3, u"TWO"_s);
    EXPECT_TRUE(doc.differsFromSaved());
    doc.undo();
    EXPECT_FALSE(doc.differsFromSaved());
    doc.redo();
    doc.markSaved();
    EXPECT_FALSE(doc.differsFromSaved());
    doc.undo();
    EXPECT_TRUE(doc.differsFromSaved());
}

} // namespace
} // namespace qel::textmodel

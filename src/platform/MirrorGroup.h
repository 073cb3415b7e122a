#pragma once

#include <QObject>

#include <functional>

#include <vector>

namespace qel {

class ByteEditor;

// Editors that show one text. An edit made in any of them is made the same way in
// all the others at once, so they hold the same text at all times without copying
// the whole text on every keystroke. A whole copy happens only when an editor joins,
// and when a text is replaced as a whole (a load).
class MirrorGroup : public QObject {
    Q_OBJECT
public:
    explicit MirrorGroup(QObject* parent = nullptr) : QObject(parent) {}

    // The first editor added gives the text; each later one takes it over.
    void add(ByteEditor* editor);
    const std::vector<ByteEditor*>& editors() const { return editors_; }
    // An editor whose window is hidden takes a text replaced as a whole (a load) only
    // when it is next needed: shown, read or edited. Until then it is left behind, and
    // edits skip it. The editor asks for this itself before any such use.
    void bringUpToDate(ByteEditor* editor);

    // Makes the same edit in every editor of the group itself, rather than carrying
    // the one `source` reports: worth it for many small edits made at once (Replace
    // All), which Qt would report as one edit over the whole span between them.
    void editEach(ByteEditor* source, const std::function<void(ByteEditor&)>& edit);

Q_SIGNALS:
    // An edit made in `source` (typed, pasted, undone, set by a command) has reached
    // every other editor of the group.
    void edited(qel::ByteEditor* source);

private:
    void onChange(ByteEditor* source, int position, int removed, int added);

    bool isBehind(const ByteEditor* editor) const;

    std::vector<ByteEditor*> editors_;
    std::vector<ByteEditor*> behind_; // hidden editors still to take the whole text
    bool mirroring_ = false;
};

} // namespace qel

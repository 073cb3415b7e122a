#include "EditorSearch.h"

#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"

namespace qel {

bool EditorSearch::findNext(const search::FindRequest& request) {
    return search::findNext(*this, request);
}

bool EditorSearch::findDown(const search::FindRequest& request) {
    return search::findDown(*this, request);
}

bool EditorSearch::findUp(const search::FindRequest& request) {
    return search::findUp(*this, request);
}

bool EditorSearch::findNextToReplace(const search::ReplaceRequest& request) {
    return search::findNextToReplace(*this, request);
}

void EditorSearch::replaceSelectedMatch(const search::ReplaceRequest& request) {
    search::replaceSelectedMatch(*this, request);
}

void EditorSearch::replaceAllMatches(const search::ReplaceRequest& request) {
    search::replaceAllMatches(*this, request);
}

void EditorSearch::replaceOrReplaceAll(const search::ReplaceRequest& request) {
    search::replaceOrReplaceAll(*this, request);
}

void EditorSearch::runReplaceAction(const search::ReplaceRequest& request) {
    search::runReplaceAction(*this, request);
}

QString EditorSearch::text() const {
    return editor_.text();
}

qsizetype EditorSearch::byteLength() const {
    return editor_.byteLength();
}

qsizetype EditorSearch::selStart() const {
    return editor_.selStart();
}

qsizetype EditorSearch::selLength() const {
    return editor_.selLength();
}

QString EditorSearch::selText() const {
    return editor_.selText();
}

void EditorSearch::setSelection(qsizetype start, qsizetype length) {
    editor_.setSelection(start, length);
}

void EditorSearch::replaceSelection(const QString& text) {
    editor_.replaceSelection(text);
}

void EditorSearch::focus() {
    editor_.setFocus();
}

qsizetype EditorSearch::find(const QString& what, qsizetype start, qsizetype length,
                             search::Options options) {
    return editor_.findText(what, start, length, options);
}

void EditorSearch::applyReplaceAll(const search::ReplaceAllResult& result) {
    if (result.stepsKept && result.count > 0) {
        // Replacement by replacement, so that the text between them (and the codes its
        // characters were loaded with) stays as it is: one step of the document.
        editor_.replaceInTurn(result.steps, result.matchLength, result.replacement);
        editor_.replaceCharacters(0, 0, QStringView(), result.caret);
    } else {
        editor_.replaceCharacters(result.position, result.removed, result.insertedText(),
                                  result.caret);
    }
}

void EditorSearch::message(const QString& text) {
    dialogs().message(text);
}

} // namespace qel

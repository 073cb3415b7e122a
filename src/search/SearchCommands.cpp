#include "SearchCommands.h"

#include "text/Cp932.h"

namespace qel::search {

QString notFoundMessage() {
    return QStringLiteral("指定された文字が見つかりませんでした");
}

QString nothingToReplaceMessage() {
    return QStringLiteral("置き換え可能な文字がありませんでした");
}

QString replaceAllDoneMessage() {
    return QStringLiteral("置き換えが終了しました");
}

QString editorForm(const QString& text) {
    return cp932::toRepresentable(text);
}

namespace {

void select(SearchEditor& editor, qsizetype at, const QString& what) {
    editor.focus();
    editor.setSelection(at, cp932::byteLength(what));
}

// Searches from `start` to the end of the text and selects the match.
bool searchOnFrom(SearchEditor& editor, qsizetype start, const QString& what, Options options) {
    const qsizetype at = editor.find(what, start, editor.byteLength() - start, options);
    if (at < 0) {
        editor.message(notFoundMessage());
        return false;
    }
    select(editor, at, what);
    return true;
}

} // namespace

bool findNext(SearchEditor& editor, const FindRequest& request) {
    return request.direction == Direction::Down ? findDown(editor, request)
                                                : findUp(editor, request);
}

bool findDown(SearchEditor& editor, const FindRequest& request) {
    const QString what = editorForm(request.what);
    // With nothing selected the search starts at the top, wherever the caret is.
    const qsizetype length = editor.selLength();
    const qsizetype start = length > 0 ? editor.selStart() + length : 0;
    return searchOnFrom(editor, start, what, request.options);
}

bool findUp(SearchEditor& editor, const FindRequest& request) {
    const QString what = editorForm(request.what);
    const qsizetype limit = editor.selStart();
    if (limit < 1) {
        editor.message(notFoundMessage());
        return false;
    }
    // Walk the non-overlapping matches from the top; the range is as long as the
    // limit, so a match may end after the limit as long as it starts before it.
    const qsizetype size = cp932::byteLength(what);
    qsizetype position = 0;
    qsizetype candidate = -1;
    for (;;) {
        const qsizetype at = editor.find(what, position, limit, request.options);
        if (at < 0 || at >= limit)
            break;
        candidate = at;
        position = at + size;
        if (position >= limit)
            break;
    }
    if (candidate < 0) {
        editor.message(notFoundMessage());
        return false;
    }
    select(editor, candidate, what);
    return true;
}

bool findNextToReplace(SearchEditor& editor, const ReplaceRequest& request) {
    const QString what = editorForm(request.what);
    const qsizetype length = editor.selLength();
    const qsizetype start = editor.selStart() + (length > 0 ? length : 0);
    return searchOnFrom(editor, start, what, request.options);
}

void replaceSelectedMatch(SearchEditor& editor, const ReplaceRequest& request) {
    if (editor.selLength() == 0) {
        editor.message(nothingToReplaceMessage());
        return;
    }
    editor.replaceSelection(editorForm(request.with));
}

void replaceAllMatches(SearchEditor& editor, const ReplaceRequest& request) {
    const ReplaceAllResult result = replaceAll(editor.text(), editorForm(request.what),
                                               editorForm(request.with), request.options);
    if (result.count == 0) {
        editor.message(nothingToReplaceMessage());
        return;
    }
    editor.focus();
    editor.applyReplaceAll(result);
    editor.message(replaceAllDoneMessage());
}

void replaceOrReplaceAll(SearchEditor& editor, const ReplaceRequest& request) {
    if (request.action == ReplaceAction::ReplaceAll) {
        replaceAllMatches(editor, request);
        return;
    }
    // The selection is replaced as it stands only when it is the find text exactly,
    // case included; otherwise the next occurrence is looked for first.
    if (editor.selText() != editorForm(request.what) && !findNextToReplace(editor, request)) {
        editor.message(nothingToReplaceMessage());
        return;
    }
    replaceSelectedMatch(editor, request);
}

void runReplaceAction(SearchEditor& editor, const ReplaceRequest& request) {
    if (request.action == ReplaceAction::FindNext)
        findNextToReplace(editor, request);
    else
        replaceOrReplaceAll(editor, request);
}

} // namespace qel::search

#pragma once

#include "search/ReplaceAll.h"
#include "search/TextMatch.h"

#include <QString>

// The find and replace commands of the main window, over the editor as they see it.
// Offsets are code page 932 byte offsets; there is no wrap-around at either end.
namespace qel::search {

// What the user is told.
QString notFoundMessage();         // a find or replace-search found nothing
QString nothingToReplaceMessage(); // Replace had nothing to replace, Replace All none
QString replaceAllDoneMessage();   // Replace All replaced at least one occurrence

// The editor and the user as the commands see them.
class SearchEditor {
public:
    virtual ~SearchEditor() = default;

    virtual QString text() const = 0;
    virtual qsizetype byteLength() const = 0;
    virtual qsizetype selStart() const = 0;
    virtual qsizetype selLength() const = 0;
    virtual QString selText() const = 0;
    virtual void setSelection(qsizetype start, qsizetype length) = 0;
    // Replaces the selection; the caret ends after the new text, nothing selected.
    virtual void replaceSelection(const QString& text) = 0;
    virtual void focus() = 0;
    // The editor's forward search (see search::find()).
    virtual qsizetype find(const QString& what, qsizetype start, qsizetype length,
                           Options options) = 0;
    // Applies a Replace All as one edit (one undo step) and leaves the caret at
    // result.caret with nothing selected.
    virtual void applyReplaceAll(const ReplaceAllResult& result) = 0;
    // A plain message box.
    virtual void message(const QString& text) = 0;
};

// What the find dialog hands over.
enum class Direction { Up, Down };

struct FindRequest {
    QString what;
    Options options;
    Direction direction = Direction::Down;
};

// What the replace dialog hands over, with the button that was pressed.
enum class ReplaceAction { FindNext, Replace, ReplaceAll };

struct ReplaceRequest {
    QString what;
    QString with;
    Options options;
    ReplaceAction action = ReplaceAction::FindNext;
};

// The find and replace texts as the commands use them: reduced to what code page 932
// can hold, as the editor does with everything typed or pasted into it, so "€"
// finds and inserts "?" like it would in the editor.
QString editorForm(const QString& text);

// The find dialog's Find Next: findDown() or findUp() by the direction.
bool findNext(SearchEditor& editor, const FindRequest& request);
// Searches from the end of the selection, or from the top when nothing is selected.
bool findDown(SearchEditor& editor, const FindRequest& request);
// Selects the last match, scanning from the top, that starts before the selection.
bool findUp(SearchEditor& editor, const FindRequest& request);
// The replace-search: from the end of the selection, or from the caret.
bool findNextToReplace(SearchEditor& editor, const ReplaceRequest& request);
// Replaces the selection by the replace text, if anything is selected.
void replaceSelectedMatch(SearchEditor& editor, const ReplaceRequest& request);
// Replaces every occurrence (see replaceAll()) as one edit.
void replaceAllMatches(SearchEditor& editor, const ReplaceRequest& request);
// The replace dialog's Replace and Replace All buttons (request.action says which).
void replaceOrReplaceAll(SearchEditor& editor, const ReplaceRequest& request);
// Any button of the replace dialog: Find Next runs the replace-search.
void runReplaceAction(SearchEditor& editor, const ReplaceRequest& request);

} // namespace qel::search

#pragma once

#include "search/SearchCommands.h"

namespace qel {

class ByteEditor;

// The find and replace commands run on a ByteEditor, telling the user through the
// application's Dialogs service. Holds no state of its own: every command starts from
// the editor's current selection and text, so one may be made for each command.
//
//     EditorSearch(*editor).findNext(findDialog->request());
//     EditorSearch(*editor).runReplaceAction(replaceDialog->request());
class EditorSearch : public search::SearchEditor {
public:
    explicit EditorSearch(ByteEditor& editor) : editor_(editor) {}

    // The commands (see search/SearchCommands.h).
    bool findNext(const search::FindRequest& request);
    bool findDown(const search::FindRequest& request);
    bool findUp(const search::FindRequest& request);
    bool findNextToReplace(const search::ReplaceRequest& request);
    void replaceSelectedMatch(const search::ReplaceRequest& request);
    void replaceAllMatches(const search::ReplaceRequest& request);
    void replaceOrReplaceAll(const search::ReplaceRequest& request);
    void runReplaceAction(const search::ReplaceRequest& request);

    // search::SearchEditor
    QString text() const override;
    qsizetype byteLength() const override;
    qsizetype selStart() const override;
    qsizetype selLength() const override;
    QString selText() const override;
    void setSelection(qsizetype start, qsizetype length) override;
    void replaceSelection(const QString& text) override;
    void focus() override;
    qsizetype find(const QString& what, qsizetype start, qsizetype length,
                   search::Options options) override;
    void applyReplaceAll(const search::ReplaceAllResult& result) override;
    void message(const QString& text) override;

private:
    ByteEditor& editor_;
};

} // namespace qel

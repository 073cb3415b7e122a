#pragma once

#include "search/SearchCommands.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qel {

// The modeless find dialog. Closing it (Cancel, Escape, the close box) only hides it,
// so the find text and the options are there again at the next opening. Find Next is
// enabled only while the find text is not empty.
//
// Children by objectName: findText, wholeWord, matchCase, up, down, findNextButton,
// cancelButton.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr); // objectName "FindDialog1"

    // Shows the dialog (or brings it to the front) with the find text selected.
    void showDialog();

    QString findText() const;
    void setFindText(const QString& text);
    bool wholeWord() const;
    void setWholeWord(bool on);
    bool matchCase() const;
    void setMatchCase(bool on);
    search::Direction direction() const;
    void setDirection(search::Direction direction);

    // Everything above, as the find commands take it.
    search::FindRequest request() const;

Q_SIGNALS:
    // Find Next was pressed.
    void findNext();

private:
    void updateButtons();

    QLineEdit* findText_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNextButton_;
};

// The modeless replace dialog; like the find dialog, without a direction. Find Next,
// Replace and Replace All are enabled only while the find text is not empty.
//
// Children by objectName: findText, replaceText, wholeWord, matchCase,
// findNextButton, replaceButton, replaceAllButton, cancelButton.
class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent = nullptr); // objectName "ReplaceDialog1"

    void showDialog();

    QString findText() const;
    void setFindText(const QString& text);
    QString replaceText() const;
    void setReplaceText(const QString& text);
    bool wholeWord() const;
    void setWholeWord(bool on);
    bool matchCase() const;
    void setMatchCase(bool on);
    // The button pressed last (Find Next before any was pressed).
    search::ReplaceAction lastAction() const { return lastAction_; }

    // Everything above, as the replace commands take it.
    search::ReplaceRequest request() const;

Q_SIGNALS:
    void findNext();
    void replace();
    void replaceAll();
    // Any of the three, after its own signal; request().action says which.
    void actionRequested(qel::search::ReplaceAction action);

private:
    void updateButtons();
    void press(search::ReplaceAction action);

    QLineEdit* findText_;
    QLineEdit* replaceText_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* findNextButton_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
    search::ReplaceAction lastAction_ = search::ReplaceAction::FindNext;
};

} // namespace qel

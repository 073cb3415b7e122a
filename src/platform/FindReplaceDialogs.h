#pragma once

#include "search/SearchCommands.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qel {

// What the find and the replace dialog share: modeless, closing (Cancel, Escape, the
// close box) only hides them, so the texts and options are there again at the next
// opening; the search buttons are enabled only while the find text is not empty.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog (or brings it to the front) with the find text selected.
    void showDialog();

    QString findText() const;
    void setFindText(const QString& text);
    bool wholeWord() const;
    void setWholeWord(bool on);
    bool matchCase() const;
    void setMatchCase(bool on);

protected:
    SearchDialog(QWidget* parent, const QString& name, const QString& title);
    search::Options options() const;
    // A button that needs a find text; it is enabled only while there is one.
    QPushButton* searchButton(const QString& caption, const char* name);

    QLineEdit* findText_;
    QLabel* findLabel_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* findNextButton_;
    QPushButton* cancelButton_;

private:
    void updateButtons();
    std::vector<QPushButton*> searchButtons_;
};

// The modeless find dialog.
//
// Children by objectName: findText, wholeWord, matchCase, up, down, findNextButton,
// cancelButton.
class FindDialog : public SearchDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr); // objectName "FindDialog1"

    search::Direction direction() const;
    void setDirection(search::Direction direction);

    // Everything above, as the find commands take it.
    search::FindRequest request() const;

Q_SIGNALS:
    // Find Next was pressed.
    void findNext();

private:
    QRadioButton* up_;
    QRadioButton* down_;
};

// The modeless replace dialog; like the find dialog, without a direction.
//
// Children by objectName: findText, replaceText, wholeWord, matchCase,
// findNextButton, replaceButton, replaceAllButton, cancelButton.
class ReplaceDialog : public SearchDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent = nullptr); // objectName "ReplaceDialog1"

    QString replaceText() const;
    void setReplaceText(const QString& text);

    // Everything above, as the replace commands take it.
    search::ReplaceRequest request() const;

Q_SIGNALS:
    void findNext();
    void replace();
    void replaceAll();
    // Any of the three, after its own signal; request().action says which.
    void actionRequested(qel::search::ReplaceAction action);

private:
    void press(search::ReplaceAction action);

    QLineEdit* replaceText_;
    search::ReplaceAction lastAction_ = search::ReplaceAction::FindNext;
};

} // namespace qel

#include "FindReplaceDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qel {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* textBox(const char* name) {
    auto* box = named(new QLineEdit, name);
    box->setMinimumWidth(220);
    return box;
}

QPushButton* button(const QString& caption, const char* name) {
    auto* b = named(new QPushButton(caption), name);
    b->setAutoDefault(false);
    return b;
}

// Both dialogs: a tool-like modeless window over its owner, hidden rather than closed.
void setUpModeless(QDialog* dialog, const QString& title) {
    dialog->setWindowTitle(title);
    dialog->setModal(false);
    dialog->setSizeGripEnabled(false);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void showAndFocus(QDialog* dialog, QLineEdit* first) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    first->setFocus();
    first->selectAll();
}

} // namespace

SearchDialog::SearchDialog(QWidget* parent, const QString& name, const QString& title)
    : QDialog(parent) {
    setObjectName(name);
    setUpModeless(this, title);
    findText_ = textBox("findText");
    findLabel_ = new QLabel(QStringLiteral("検索する文字列(&N):"));
    findLabel_->setBuddy(findText_);
    wholeWord_ = named(new QCheckBox(QStringLiteral("単語単位で探す(&W)")), "wholeWord");
    matchCase_ = named(new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)")), "matchCase");
    findNextButton_ = searchButton(QStringLiteral("次を検索(&F)"), "findNextButton");
    findNextButton_->setDefault(true);
    cancelButton_ = button(QStringLiteral("キャンセル"), "cancelButton");
    connect(findText_, &QLineEdit::textChanged, this, &SearchDialog::updateButtons);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* SearchDialog::searchButton(const QString& caption, const char* name) {
    QPushButton* b = button(caption, name);
    b->setEnabled(!findText_->text().isEmpty());
    searchButtons_.push_back(b);
    return b;
}

void SearchDialog::updateButtons() {
    const bool any = !findText_->text().isEmpty();
    for (QPushButton* b : searchButtons_)
        b->setEnabled(any);
}

void SearchDialog::showDialog() {
    showAndFocus(this, findText_);
}

QString SearchDialog::findText() const {
    return findText_->text();
}

void SearchDialog::setFindText(const QString& text) {
    findText_->setText(text);
}

bool SearchDialog::wholeWord() const {
    return wholeWord_->isChecked();
}

void SearchDialog::setWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

bool SearchDialog::matchCase() const {
    return matchCase_->isChecked();
}

void SearchDialog::setMatchCase(bool on) {
    matchCase_->setChecked(on);
}

search::Options SearchDialog::options() const {
    return {.wholeWord = wholeWord(), .matchCase = matchCase()};
}

FindDialog::FindDialog(QWidget* parent)
    : SearchDialog(parent, QStringLiteral("FindDialog1"), QStringLiteral("検索")) {
    up_ = named(new QRadioButton(QStringLiteral("上へ(&U)")), "up");
    down_ = named(new QRadioButton(QStringLiteral("下へ(&D)")), "down");
    down_->setChecked(true);
    auto* direction = named(new QGroupBox(QStringLiteral("方向")), "direction");
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);

    auto* left = new QGridLayout;
    left->addWidget(findLabel_, 0, 0);
    left->addWidget(findText_, 0, 1, 1, 2);
    auto* options = new QVBoxLayout;
    options->addStretch();
    options->addWidget(wholeWord_);
    options->addWidget(matchCase_);
    left->addLayout(options, 1, 0, 1, 2);
    left->addWidget(direction, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNextButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findNextButton_, &QPushButton::clicked, this, &FindDialog::findNext);
}

search::Direction FindDialog::direction() const {
    return up_->isChecked() ? search::Direction::Up : search::Direction::Down;
}

void FindDialog::setDirection(search::Direction direction) {
    (direction == search::Direction::Up ? up_ : down_)->setChecked(true);
}

search::FindRequest FindDialog::request() const {
    return {findText(), options(), direction()};
}

ReplaceDialog::ReplaceDialog(QWidget* parent)
    : SearchDialog(parent, QStringLiteral("ReplaceDialog1"), QStringLiteral("置換")) {
    replaceText_ = textBox("replaceText");
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"));
    replaceLabel->setBuddy(replaceText_);
    QPushButton* replaceButton = searchButton(QStringLiteral("置換して次に(&R)"), "replaceButton");
    QPushButton* replaceAllButton =
        searchButton(QStringLiteral("すべて置換(&A)"), "replaceAllButton");

    auto* left = new QGridLayout;
    left->addWidget(findLabel_, 0, 0);
    left->addWidget(findText_, 0, 1);
    left->addWidget(replaceLabel, 1, 0);
    left->addWidget(replaceText_, 1, 1);
    left->setRowStretch(2, 1);
    left->addWidget(wholeWord_, 3, 0, 1, 2);
    left->addWidget(matchCase_, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNextButton_);
    buttons->addWidget(replaceButton);
    buttons->addWidget(replaceAllButton);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findNextButton_, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::FindNext); });
    connect(replaceButton, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::Replace); });
    connect(replaceAllButton, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::ReplaceAll); });
}

void ReplaceDialog::press(search::ReplaceAction action) {
    lastAction_ = action;
    switch (action) {
    case search::ReplaceAction::FindNext:
        Q_EMIT findNext();
        break;
    case search::ReplaceAction::Replace:
        Q_EMIT replace();
        break;
    case search::ReplaceAction::ReplaceAll:
        Q_EMIT replaceAll();
        break;
    }
    Q_EMIT actionRequested(action);
}

QString ReplaceDialog::replaceText() const {
    return replaceText_->text();
}

void ReplaceDialog::setReplaceText(const QString& text) {
    replaceText_->setText(text);
}

search::ReplaceRequest ReplaceDialog::request() const {
    return {findText(), replaceText(), options(), lastAction_};
}

} // namespace qel

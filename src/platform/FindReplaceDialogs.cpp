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

QString findLabel() {
    return QStringLiteral("検索する文字列(&N):");
}

} // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setUpModeless(this, QStringLiteral("検索"));

    findText_ = textBox("findText");
    auto* label = new QLabel(findLabel());
    label->setBuddy(findText_);
    wholeWord_ = named(new QCheckBox(QStringLiteral("単語単位で探す(&W)")), "wholeWord");
    matchCase_ = named(new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)")), "matchCase");
    up_ = named(new QRadioButton(QStringLiteral("上へ(&U)")), "up");
    down_ = named(new QRadioButton(QStringLiteral("下へ(&D)")), "down");
    down_->setChecked(true);
    auto* direction = named(new QGroupBox(QStringLiteral("方向")), "direction");
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);

    findNextButton_ = button(QStringLiteral("次を検索(&F)"), "findNextButton");
    findNextButton_->setDefault(true);
    auto* cancel = button(QStringLiteral("キャンセル"), "cancelButton");

    auto* left = new QGridLayout;
    left->addWidget(label, 0, 0);
    left->addWidget(findText_, 0, 1, 1, 2);
    auto* options = new QVBoxLayout;
    options->addStretch();
    options->addWidget(wholeWord_);
    options->addWidget(matchCase_);
    left->addLayout(options, 1, 0, 1, 2);
    left->addWidget(direction, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNextButton_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findText_, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    connect(findNextButton_, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

void FindDialog::showDialog() {
    showAndFocus(this, findText_);
}

void FindDialog::updateButtons() {
    findNextButton_->setEnabled(!findText_->text().isEmpty());
}

QString FindDialog::findText() const {
    return findText_->text();
}

void FindDialog::setFindText(const QString& text) {
    findText_->setText(text);
}

bool FindDialog::wholeWord() const {
    return wholeWord_->isChecked();
}

void FindDialog::setWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

bool FindDialog::matchCase() const {
    return matchCase_->isChecked();
}

void FindDialog::setMatchCase(bool on) {
    matchCase_->setChecked(on);
}

search::Direction FindDialog::direction() const {
    return up_->isChecked() ? search::Direction::Up : search::Direction::Down;
}

void FindDialog::setDirection(search::Direction direction) {
    (direction == search::Direction::Up ? up_ : down_)->setChecked(true);
}

search::FindRequest FindDialog::request() const {
    return {findText(), {.wholeWord = wholeWord(), .matchCase = matchCase()}, direction()};
}

ReplaceDialog::ReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setUpModeless(this, QStringLiteral("置換"));

    findText_ = textBox("findText");
    replaceText_ = textBox("replaceText");
    auto* findLabelWidget = new QLabel(findLabel());
    findLabelWidget->setBuddy(findText_);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"));
    replaceLabel->setBuddy(replaceText_);
    wholeWord_ = named(new QCheckBox(QStringLiteral("単語単位で探す(&W)")), "wholeWord");
    matchCase_ = named(new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)")), "matchCase");

    findNextButton_ = button(QStringLiteral("次を検索(&F)"), "findNextButton");
    findNextButton_->setDefault(true);
    replaceButton_ = button(QStringLiteral("置換して次に(&R)"), "replaceButton");
    replaceAllButton_ = button(QStringLiteral("すべて置換(&A)"), "replaceAllButton");
    auto* cancel = button(QStringLiteral("キャンセル"), "cancelButton");

    auto* left = new QGridLayout;
    left->addWidget(findLabelWidget, 0, 0);
    left->addWidget(findText_, 0, 1);
    left->addWidget(replaceLabel, 1, 0);
    left->addWidget(replaceText_, 1, 1);
    left->setRowStretch(2, 1);
    left->addWidget(wholeWord_, 3, 0, 1, 2);
    left->addWidget(matchCase_, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNextButton_);
    buttons->addWidget(replaceButton_);
    buttons->addWidget(replaceAllButton_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findText_, &QLineEdit::textChanged, this, &ReplaceDialog::updateButtons);
    connect(findNextButton_, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::FindNext); });
    connect(replaceButton_, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::Replace); });
    connect(replaceAllButton_, &QPushButton::clicked, this,
            [this] { press(search::ReplaceAction::ReplaceAll); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

void ReplaceDialog::showDialog() {
    showAndFocus(this, findText_);
}

void ReplaceDialog::updateButtons() {
    const bool any = !findText_->text().isEmpty();
    findNextButton_->setEnabled(any);
    replaceButton_->setEnabled(any);
    replaceAllButton_->setEnabled(any);
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

QString ReplaceDialog::findText() const {
    return findText_->text();
}

void ReplaceDialog::setFindText(const QString& text) {
    findText_->setText(text);
}

QString ReplaceDialog::replaceText() const {
    return replaceText_->text();
}

void ReplaceDialog::setReplaceText(const QString& text) {
    replaceText_->setText(text);
}

bool ReplaceDialog::wholeWord() const {
    return wholeWord_->isChecked();
}

void ReplaceDialog::setWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

bool ReplaceDialog::matchCase() const {
    return matchCase_->isChecked();
}

void ReplaceDialog::setMatchCase(bool on) {
    matchCase_->setChecked(on);
}

search::ReplaceRequest ReplaceDialog::request() const {
    return {findText(),
            replaceText(),
            {.wholeWord = wholeWord(), .matchCase = matchCase()},
            lastAction_};
}

} // namespace qel

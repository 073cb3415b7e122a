#pragma once

#include "datetime/DateTimeDialogMapping.h"
#include "datetime/DateTimeFormatSettings.h"
#include "platform/Commands.h"

#include <QDialog>
#include <QGroupBox>

#include <vector>

class QAbstractButton;
class QButtonGroup;
class QRadioButton;

namespace qel {

// A framed group of radio buttons chosen by index, laid out in columns.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& name, const QString& caption, const QStringList& items, int columns,
               QWidget* parent = nullptr);

    // -1 when no item is checked.
    int itemIndex() const;
    // An index outside the items checks the first one, which is what the user then
    // sees and what OK stores.
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const { return int(items_.size()); }

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> items_;
};

// The date and time format dialog: edits the main window's date/time format settings.
// OK (BitBtn1) stores the choices and composes the three insertion patterns; Cancel
// (BitBtn2) leaves the settings as they were.
class TDateTimeFormatForm : public QDialog {
    Q_OBJECT
public:
    // The instance made at start-up, which is never shown: edits a private default record.
    explicit TDateTimeFormatForm(QWidget* parent = nullptr);
    // Shows `settings`, which must outlive the dialog, and changes it on OK.
    explicit TDateTimeFormatForm(DateTimeFormatSettings& settings, QWidget* parent = nullptr);
    ~TDateTimeFormatForm() override;

    // The controls' states as the apply step reads them.
    DateTimeDialogState controlState() const;

    // Event handlers.
    void FormCreate();
    void EnabledChangeExecute();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    struct Binding {
        QAbstractButton* button;
        bool DateTimeDialogState::*field;
    };

    void createComponents();
    void showState(const DateTimeDialogState& state);
    QAbstractButton* control(const char16_t* name) const;

    DateTimeFormatSettings ownSettings_;
    DateTimeFormatSettings& settings_;
    CommandTable commands_;
    std::vector<Binding> bindings_;
    RadioGroup* dateJunjo_ = nullptr;
    RadioGroup* dateTimeJunjo_ = nullptr;
};

} // namespace qel

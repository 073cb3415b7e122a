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
// OK stores the choices and composes the three insertion patterns; Cancel leaves the
// settings as they were.
class DateTimeFormatDialog : public QDialog {
    Q_OBJECT
public:
    // Edits a default record of its own (the instance made at start-up, never shown).
    explicit DateTimeFormatDialog(QWidget* parent = nullptr);
    // Shows `settings`, which must outlive the dialog, and changes it on OK.
    explicit DateTimeFormatDialog(DateTimeFormatSettings& settings, QWidget* parent = nullptr);
    ~DateTimeFormatDialog() override;

    // The controls' states as the apply step reads them.
    DateTimeDialogState controlState() const;

    // The controls as the settings say.
    void showSettings();
    // An option is offered only while the choice it refines is made (the two-digit year
    // with the western year, the 12-hour marks with the 12-hour clock, ...).
    void updateEnabledOptions();
    // OK and Cancel.
    void applyAndClose();
    void cancel();

private:
    struct Binding {
        QAbstractButton* button;
        bool DateTimeDialogState::*field;
    };

    void createWidgets();
    void showState(const DateTimeDialogState& state);
    QAbstractButton* control(const char16_t* name) const;

    DateTimeFormatSettings ownSettings_;
    DateTimeFormatSettings& settings_;
    CommandTable commands_;
    std::vector<Binding> bindings_;
    RadioGroup* dateOrder_ = nullptr;
    RadioGroup* dateTimeOrder_ = nullptr;
};

} // namespace qel

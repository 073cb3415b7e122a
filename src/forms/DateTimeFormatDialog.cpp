#include "DateTimeFormatDialog.h"

#include "datetime/DateTimeComposition.h"
#include "datetime/NameTables.h"
#include "platform/Guard.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>

namespace qel {

namespace {

using Field = bool DateTimeDialogState::*;

enum class Kind { Check, Radio };

// One control of an item group. Each group is laid out in rows: the item's own check
// box, its radio choices, then the options that refine them.
struct ControlSpec {
    const char16_t* name;
    const char16_t* caption;
    Kind kind;
    int row;
    Field field;
};

struct GroupSpec {
    const char16_t* name;
    std::vector<ControlSpec> controls;
};

using S = DateTimeDialogState;

const std::vector<GroupSpec>& dateGroups() {
    static const std::vector<GroupSpec> groups{
        {u"YearGroup",
         {{u"YearCheck", u"「年」表示", Kind::Check, 0, &S::showYear},
          {u"Seireki", u"西暦", Kind::Radio, 1, &S::westernYear},
          {u"Wareki", u"和暦", Kind::Radio, 1, &S::eraYear},
          {u"Seireki2keta", u"下２ケタ表示", Kind::Check, 2, &S::twoDigitYear},
          {u"GengouRyaku", u"元号略称", Kind::Check, 2, &S::shortEraName}}},
        {u"MonthGroup",
         {{u"MonthCheck", u"「月」表示", Kind::Check, 0, &S::showMonth},
          {u"MonthSuuji", u"数字", Kind::Radio, 1, &S::numericMonth},
          {u"MonthWareki", u"和暦", Kind::Radio, 1, &S::japaneseMonth},
          {u"MonthEigo", u"英語", Kind::Radio, 1, &S::englishMonth},
          {u"Month0Hyouji", u"０表示", Kind::Check, 2, &S::zeroPadMonth},
          {u"EigoRyaku", u"月略称", Kind::Check, 2, &S::shortMonthName}}},
        {u"DayGroup",
         {{u"DayCheck", u"「日」表示", Kind::Check, 0, &S::showDay},
          {u"Day0Hyouji", u"０表示", Kind::Check, 2, &S::zeroPadDay}}},
        {u"YoubiGroup",
         {{u"YoubiCheck", u"「曜日」表示", Kind::Check, 0, &S::showWeekday},
          {u"YoubiKanji", u"漢字", Kind::Radio, 1, &S::kanjiWeekday},
          {u"YoubiEigo", u"英語", Kind::Radio, 1, &S::englishWeekday},
          {u"YoubiRyaku", u"曜日略称", Kind::Check, 2, &S::shortWeekday},
          {u"YoubiKakko", u"括弧付", Kind::Check, 2, &S::weekdayInParentheses}}},
    };
    return groups;
}

const std::vector<GroupSpec>& timeGroups() {
    static const std::vector<GroupSpec> groups{
        {u"JiGroup",
         {{u"JiCheck", u"「時」表示", Kind::Check, 0, &S::showHour},
          {u"Ji0Hyouji", u"０表示", Kind::Check, 0, &S::zeroPadHour},
          {u"Ji12", u"１２時間制", Kind::Check, 1, &S::twelveHour},
          {u"AMPM", u"AM/PM", Kind::Radio, 2, &S::amPm},
          {u"GozennGogo", u"午前/午後", Kind::Radio, 2, &S::japaneseAmPm},
          {u"AMPMKomoji", u"小文字", Kind::Check, 2, &S::lowercaseAmPm}}},
        {u"FunGroup",
         {{u"FunCheck", u"「分」表示", Kind::Check, 0, &S::showMinute},
          {u"Fun0Hyouji", u"０表示", Kind::Check, 0, &S::zeroPadMinute}}},
        {u"ByouGroup",
         {{u"ByouCheck", u"「秒」表示", Kind::Check, 0, &S::showSecond},
          {u"Byou0Hyouji", u"０表示", Kind::Check, 0, &S::zeroPadSecond}}},
    };
    return groups;
}

// The controls whose clicks change what is enabled.
constexpr const char16_t* kEnableSources[] = {u"Seireki",     u"Wareki",    u"MonthSuuji",
                                              u"MonthWareki", u"MonthEigo", u"Ji12",
                                              u"AMPM",        u"GozennGogo"};

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

} // namespace

RadioGroup::RadioGroup(const QString& name, const QString& caption, const QStringList& items,
                       int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    setObjectName(name);
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QString::number(i));
        group_->addButton(button, i);
        layout->addWidget(button, i / columns, i % columns);
        items_.push_back(button);
    }
    setItemIndex(0);
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (items_.empty())
        return;
    if (index < 0 || index >= count())
        index = 0;
    items_[std::size_t(index)]->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const {
    return index >= 0 && index < count() ? items_[std::size_t(index)] : nullptr;
}

DateTimeFormatDialog::DateTimeFormatDialog(QWidget* parent)
    : DateTimeFormatDialog(ownSettings_, parent) {}

DateTimeFormatDialog::DateTimeFormatDialog(DateTimeFormatSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings), commands_(this) {
    setObjectName(QStringLiteral("DateTimeFormatForm"));
    setWindowTitle(QStringLiteral("日付と時刻の書式編集"));
    createWidgets();
    showSettings();
}

DateTimeFormatDialog::~DateTimeFormatDialog() = default;

void DateTimeFormatDialog::createWidgets() {
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto* page = new QWidget(pages);
    page->setObjectName(QStringLiteral("TabDateTime"));
    pages->addTab(page, QStringLiteral("挿入項目"));

    auto buildGroup = [this, page](const GroupSpec& spec) {
        auto* box = new QGroupBox(page);
        box->setObjectName(text(spec.name));
        auto* rows = new QVBoxLayout(box);
        std::vector<QHBoxLayout*> rowLayouts;
        for (const ControlSpec& c : spec.controls) {
            QAbstractButton* button = c.kind == Kind::Check
                                          ? static_cast<QAbstractButton*>(new QCheckBox(box))
                                          : new QRadioButton(box);
            button->setObjectName(text(c.name));
            button->setText(text(c.caption));
            while (int(rowLayouts.size()) <= c.row) {
                rowLayouts.push_back(new QHBoxLayout);
                rows->addLayout(rowLayouts.back());
            }
            rowLayouts[std::size_t(c.row)]->addWidget(button);
            bindings_.push_back({button, c.field});
        }
        for (QHBoxLayout* row : rowLayouts)
            row->addStretch();
        return box;
    };

    auto* dateColumn = new QVBoxLayout;
    for (const GroupSpec& g : dateGroups())
        dateColumn->addWidget(buildGroup(g));
    dateColumn->addStretch();

    auto* timeColumn = new QVBoxLayout;
    for (const GroupSpec& g : timeGroups())
        timeColumn->addWidget(buildGroup(g));
    auto* units = new QCheckBox(QStringLiteral("単位付加"), page);
    units->setObjectName(QStringLiteral("Tanni"));
    bindings_.push_back({units, &S::withUnits});
    timeColumn->addWidget(units);
    dateOrder_ =
        new RadioGroup(QStringLiteral("DateJunjo"), QStringLiteral("日付の表示順序"),
                       {QStringLiteral("年-月-日-曜日"), QStringLiteral("日-月-年-曜日")}, 2, page);
    dateTimeOrder_ =
        new RadioGroup(QStringLiteral("DateTimeJunjo"), QStringLiteral("日付、時刻の表示順序"),
                       {QStringLiteral("日付-時刻"), QStringLiteral("時刻-日付")}, 2, page);
    timeColumn->addWidget(dateOrder_);
    timeColumn->addWidget(dateTimeOrder_);
    timeColumn->addStretch();

    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addLayout(dateColumn);
    pageLayout->addLayout(timeColumn);

    auto* okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                     QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("BitBtn1"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                         QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("BitBtn2"));
    connect(okButton, &QPushButton::clicked, this,
            [this] { guarded([this] { applyAndClose(); }); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { guarded([this] { cancel(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    CommandSpec spec;
    spec.name = spec.caption = QStringLiteral("EnabledChange");
    QAction* enabledChange = commands_.add(spec, [this] { updateEnabledOptions(); });
    // Toggled rather than clicked, so the rule also holds when a radio is unchecked by
    // its partner or a state is set from code.
    for (const char16_t* name : kEnableSources)
        connect(control(name), &QAbstractButton::toggled, enabledChange, &QAction::trigger);
}

QAbstractButton* DateTimeFormatDialog::control(const char16_t* name) const {
    return findChild<QAbstractButton*>(text(name));
}

void DateTimeFormatDialog::showState(const DateTimeDialogState& state) {
    for (const Binding& b : bindings_) {
        // An auto-exclusive radio cannot be unchecked directly.
        const bool exclusive = b.button->autoExclusive();
        b.button->setAutoExclusive(false);
        b.button->setChecked(state.*(b.field));
        b.button->setAutoExclusive(exclusive);
    }
    dateOrder_->setItemIndex(state.dateOrder);
    dateTimeOrder_->setItemIndex(state.dateTimeOrder);
}

DateTimeDialogState DateTimeFormatDialog::controlState() const {
    DateTimeDialogState state;
    for (const Binding& b : bindings_)
        state.*(b.field) = b.button->isChecked();
    state.dateOrder = dateOrder_->itemIndex();
    state.dateTimeOrder = dateTimeOrder_->itemIndex();
    return state;
}

void DateTimeFormatDialog::showSettings() {
    showState(dialogStateFor(settings_));
    updateEnabledOptions();
}

void DateTimeFormatDialog::updateEnabledOptions() {
    auto isChecked = [this](const char16_t* name) { return control(name)->isChecked(); };
    control(u"Seireki2keta")->setEnabled(isChecked(u"Seireki"));
    control(u"GengouRyaku")->setEnabled(isChecked(u"Wareki"));
    control(u"Month0Hyouji")->setEnabled(isChecked(u"MonthSuuji"));
    control(u"EigoRyaku")->setEnabled(isChecked(u"MonthEigo"));
    const bool twelveHour = isChecked(u"Ji12");
    for (const char16_t* name : {u"AMPM", u"GozennGogo", u"AMPMKomoji"})
        control(name)->setEnabled(twelveHour);
}

void DateTimeFormatDialog::applyAndClose() {
    applyDialogState(controlState(), settings_);
    composeFormats(settings_, currentNameTables());
    accept();
}

void DateTimeFormatDialog::cancel() {
    reject();
}

} // namespace qel

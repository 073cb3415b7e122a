#include "OptionsDialog.h"

#include "MainWindow.h"
#include "SubWindow.h"
#include "document/DocumentRules.h"
#include "icons/Icons.h"
#include "options/ApplyOptions.h"
#include "options/SettingsFileList.h"
#include "platform/ByteEditor.h"
#include "platform/ByteLimitedEdit.h"
#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingValues.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace qel {

// The object names of one window page's controls.
struct WindowPageNames {
    const char16_t* tab;
    const char16_t* caption;
    const char16_t* sample;
    const char16_t* name;
    const char16_t* fileName;
    const char16_t* size;
    const char16_t* position;
    const char16_t* shownBox; // sub-window pages only
    const char16_t* onTopBox;
};

namespace {

const WindowPageNames kPageNames[kWindowCount] = {
    {u"TabMain", u"メインウィンドウ", u"MainSample", u"MainName", u"MainIniName", u"WindowSizeMain",
     u"WindowPositionMain", nullptr, nullptr},
    {u"TabSub1", u"サブウィンドウ１", u"SampleSub1", u"Sub1Name", u"Sub1IniName", u"WindowSizeSub1",
     u"WindowPositionSub1", u"CheckBox5", u"CheckBox6"},
    {u"TabSub2", u"サブウィンドウ２", u"SampleSub2", u"Sub2Name", u"Sub2IniName", u"WindowSizeSub2",
     u"WindowPositionSub2", u"CheckBox3", u"CheckBox4"},
    {u"TabSub3", u"サブウィンドウ３", u"SampleSub3", u"Sub3Name", u"Sub3IniName", u"WindowSizeSub3",
     u"WindowPositionSub3", u"CheckBox1", u"CheckBox2"},
};

constexpr const char16_t* kComboCaptions[kWindowCount] = {
    u"メインウィンドウ：", u"サブウィンドウ１：", u"サブウィンドウ２：", u"サブウィンドウ３："};

constexpr const char16_t* kSampleLines[] = {
    u"1234567890",
    u"ABCDEFGHIJEFGHIJKLMNOPQRSTUVWXYZ",
    u"abcdefghijklmnopqrstuvwxyz",
    u"あかさたなはまやらわ",
    u"アカサタナハマヤラワ",
    u"子丑寅卯辰巳午未申酉戌亥",
};

constexpr int kNameLimit = 33; // bytes of code page 932

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The file dialogs of the page buttons and of the configuration buttons.
FileRequest settingsFileRequest(const QString& extension, const QString& description) {
    FileRequest request;
    request.defaultExtension = extension;
    request.filters = {fileFilter(description, u"*." + extension)};
    request.startFolder = qel::programFolder();
    request.hideReadOnly = true;
    request.pathMustExist = true;
    return request;
}

FileRequest windowFileRequest() {
    return settingsFileRequest(QStringLiteral("QelW"),
                               QStringLiteral("QelEditorWindow設定ファイル (*.QelW)"));
}

FileRequest configurationFileRequest() {
    return settingsFileRequest(QStringLiteral("Qel"),
                               QStringLiteral("QelEditor設定指定ファイル (*.Qel)"));
}

void setHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
}

QLabel* label(const QString& text, QWidget* parent, const char16_t* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(str(name));
    return l;
}

QToolButton* pictureButton(const char* command, const QString& hint, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(command) + u"Button");
    b->setIcon(commandIcon(QString::fromLatin1(command)));
    b->setIconSize(QSize(16, 16));
    setHint(b, hint);
    return b;
}

QPushButton* textButton(const QString& caption, const char16_t* name, const QString& hint,
                        QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(str(name));
    b->setAutoDefault(false);
    // As wide as the caption needs, not the style's usual minimum.
    b->setMinimumWidth(0);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(caption) + 20);
    if (!hint.isEmpty())
        setHint(b, hint);
    return b;
}

// Colours a drop-down list in every part Qt may paint it with.
void colorComboBox(QComboBox* box, const QColor& text, const QColor& background) {
    QPalette p = box->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(role, text);
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, background);
    box->setPalette(p);
}

// A drop-down list whose open list has the box's colours too. The open list is a window
// of its own, which Qt gives the colours of a menu; it is coloured as it opens (made
// only then, it costs nothing while the dialog is being built).
class ColoredComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        view()->setPalette(palette());
        view()->window()->setPalette(palette());
        QComboBox::showPopup();
    }
};

// Tabs with narrow margins, so that the five pages' tabs fit the dialog's width.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace)
            return 6;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The live windows, as the apply sequence reaches them.
class LiveWindows : public OptionsWindows {
public:
    explicit LiveWindows(MainWindow& mainWindow) : mainWindow_(mainWindow) {}
    bool exists(int window) const override {
        return window == 0 || mainWindow_.subWindow(window) != nullptr;
    }
    void setSettingsFile(int window, const QString& path) override {
        if (window == 0)
            mainWindow_.setSettingsFilePath(path);
        else
            mainWindow_.subWindow(window)->setSettingsFilePath(path);
    }
    void reloadSettings(int window) override {
        if (window == 0)
            mainWindow_.readWindowSettings();
        else
            mainWindow_.subWindow(window)->readWindowSettings();
    }
    void setInitialFolders(const QString& save, const QString& open) override {
        mainWindow_.setInitialFolders(save, open);
    }
    // The toggles as their commands show them; set through the commands, so that their
    // hints follow.
    ViewToggles viewToggles() const override {
        return {shown(kToolBar), shown(kFontInfo), shown(kStatusBar)};
    }
    void setViewToggles(const ViewToggles& toggles) override {
        if (shown(kToolBar) != toggles.toolBar)
            mainWindow_.toggleToolBar();
        if (shown(kFontInfo) != toggles.fontInfo)
            mainWindow_.toggleFontInfo();
        if (shown(kStatusBar) != toggles.statusBar)
            mainWindow_.toggleStatusBar();
    }

private:
    static constexpr char16_t kToolBar[] = u"VisibleToolBar";
    static constexpr char16_t kFontInfo[] = u"VisibleStaticText";
    static constexpr char16_t kStatusBar[] = u"VisibleStatusBar";
    bool shown(const char16_t* command) const {
        return mainWindow_.commands().action(QString::fromUtf16(command))->isChecked();
    }

    MainWindow& mainWindow_;
};

} // namespace

// A name that may be longer than its room: cut in the middle with "…", the whole name
// in the tool tip then.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    const QString& fullText() const { return full_; }
    void setFullText(const QString& text) {
        full_ = text;
        fit();
    }
    // As wide as the whole name where there is room; never cut shorter than the
    // default files' names.
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(full_), QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override {
        const int usual = fontMetrics().horizontalAdvance(QStringLiteral("DefaultSub1.QelW"));
        return {std::min(sizeHint().width(), usual), QLabel::minimumSizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fit();
    }
    void showEvent(QShowEvent* event) override {
        QLabel::showEvent(event);
        fit();
    }

private:
    // Cut to the room it has when shown; until then it has none to go by.
    void fit() {
        const QString shown =
            isVisible() ? fontMetrics().elidedText(full_, Qt::ElideMiddle, width()) : full_;
        setText(shown);
        setToolTip(shown == full_ ? QString() : full_);
    }

    QString full_;
};

SamplePane::SamplePane(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // A preview: Tab goes on to the next control rather than into the text.
    setTabChangesFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextColor(Qt::black);
    setBackgroundColor(Qt::white);
}

void SamplePane::setLook(const EditorLook& look) {
    setFont(look.font);
    setTextColor(look.text);
    setBackgroundColor(look.background);
}

void SamplePane::setTextColor(const QColor& color) {
    text_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

void SamplePane::setBackgroundColor(const QColor& color) {
    background_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

WindowPageTab::WindowPageTab(int window, const WindowPageNames& names, QWidget* parent)
    : QWidget(parent), window_(window) {
    setObjectName(str(names.tab));

    sample_ = new SamplePane(this);
    sample_->setObjectName(str(names.sample));
    setHint(sample_, QStringLiteral("文字表示サンプル(入力可能)"));

    auto* font = pictureButton("FontChange", QStringLiteral("フォント設定"), this);
    auto* fontColor = pictureButton("FontColorChange", QStringLiteral("文字色設定"), this);
    auto* backColor = pictureButton("ColorChange", QStringLiteral("背景色設定"), this);
    fileName_ = new ElidedLabel(this);
    fileName_->setObjectName(str(names.fileName));

    name_ = new ByteLimitedEdit(kNameLimit, this);
    name_->setObjectName(str(names.name));
    setHint(name_, QStringLiteral("半角33(全角16)文字まで入力できます"));
    size_ = label(QString(), this, names.size);
    position_ = label(QString(), this, names.position);

    auto* save = textButton(QStringLiteral("設定保存"), u"SaveButton",
                            QStringLiteral("ウィンドウ設定を保存します"), this);
    auto* load = textButton(QStringLiteral("設定読込"), u"LoadButton",
                            QStringLiteral("ウィンドウ設定を読み込みます"), this);
    connect(font, &QToolButton::clicked, this, &WindowPageTab::fontClicked);
    connect(fontColor, &QToolButton::clicked, this, &WindowPageTab::fontColorClicked);
    connect(backColor, &QToolButton::clicked, this, &WindowPageTab::backColorClicked);
    connect(save, &QPushButton::clicked, this, &WindowPageTab::saveClicked);
    connect(load, &QPushButton::clicked, this, &WindowPageTab::loadClicked);

    // Left: the sample with its three buttons and the file name under it. Right: the
    // name, the place, the two states and the page buttons.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    tools->addWidget(font);
    tools->addWidget(fontColor);
    tools->addWidget(backColor);
    tools->addWidget(fileName_, 1);
    grid->addWidget(sample_, 0, 0, 6, 1);
    grid->addLayout(tools, 6, 0);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label(QStringLiteral("ウィンドウ名："), this));
    nameRow->addWidget(name_, 1);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(label(QStringLiteral("ウィンドウサイズ"), this), 1, 1);
    grid->addWidget(size_, 2, 1);
    grid->addWidget(label(QStringLiteral("ウィンドウ位置"), this), 3, 1);
    grid->addWidget(position_, 4, 1);
    auto* states = new QHBoxLayout;
    if (isSubWindow(window)) {
        onTop_ = new QCheckBox(QStringLiteral("常に前面に表示"), this);
        onTop_->setObjectName(str(names.onTopBox));
        shown_ = new QCheckBox(QStringLiteral("表示"), this);
        shown_->setObjectName(str(names.shownBox));
        states->addWidget(onTop_);
        states->addWidget(shown_);
    }
    states->addStretch();
    grid->addLayout(states, 5, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(load);
    grid->addLayout(buttons, 6, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(5, 1);
}

WindowPage WindowPageTab::values() const {
    WindowPage page = place_;
    page.name = name_->text();
    page.look = sample_->look();
    page.shown = shown_ && shown_->isChecked();
    page.onTop = onTop_ && onTop_->isChecked();
    return page;
}

void WindowPageTab::setValues(const WindowPage& page) {
    name_->setTextUncut(page.name);
    sample_->setLook(page.look);
    if (shown_)
        shown_->setChecked(page.shown);
    if (onTop_)
        onTop_->setChecked(page.onTop);
    place_.width = page.width;
    place_.height = page.height;
    place_.left = page.left;
    place_.top = page.top;
    size_->setText(windowSizeText(place_));
    position_->setText(windowPositionText(place_));
}

QString WindowPageTab::fileName() const {
    return fileName_->fullText();
}

void WindowPageTab::setFileName(const QString& path) {
    fileName_->setFullText(extractFileName(path));
}

OptionsDialog::OptionsDialog(MainWindow& mainWindow)
    : QDialog(&mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("PropertyForm"));
    setWindowTitle(QStringLiteral("環境設定"));
    createWidgets();
    showCurrentSettings();
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::createWidgets() {
    setFixedSize(431, 214);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    tabs_->setGeometry(0, 0, 431, 187);
    // All five tabs fit in one row: a point smaller than the pages, with narrow margins.
    QTabBar* tabs = tabs_->tabBar();
    auto* tabStyle = new CompactTabStyle;
    tabStyle->setParent(tabs);
    tabs->setStyle(tabStyle);
    QFont tabFont = tabs->font();
    tabFont.setPointSize(tabFont.pointSize() - 1);
    tabs->setFont(tabFont);
    tabs_->addTab(createBasePage(), QStringLiteral("動作設定"));
    for (int w = 0; w < kWindowCount; ++w) {
        auto* page = new WindowPageTab(w, kPageNames[w], tabs_);
        pages_[std::size_t(w)] = page;
        tabs_->addTab(page, str(kPageNames[w].caption));
        const auto run = [this](void (OptionsDialog::*handler)()) {
            return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
        };
        connect(page, &WindowPageTab::fontClicked, this, run(&OptionsDialog::chooseFont));
        connect(page, &WindowPageTab::fontColorClicked, this, run(&OptionsDialog::chooseTextColor));
        connect(page, &WindowPageTab::backColorClicked, this,
                run(&OptionsDialog::chooseBackgroundColor));
        connect(page, &WindowPageTab::saveClicked, this, run(&OptionsDialog::savePageToFile));
        connect(page, &WindowPageTab::loadClicked, this, run(&OptionsDialog::loadPageFromFile));
    }

    auto* okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                     QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                         QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setAutoDefault(false);
    okButton->setGeometry(4, 189, 88, 23);
    cancelButton->setGeometry(96, 189, 88, 23);
    connect(okButton, &QPushButton::clicked, this, [this] { applyAndClose(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
}

QWidget* OptionsDialog::createBasePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Base"));
    // The two folders, one line each; the configuration buttons beside the heading of
    // the lists; the four lists in two columns, each under its caption.
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 3, 4, 3);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    const auto folderRow = [&](int row, const char16_t* labelName, const QString& caption,
                               const char16_t* boxName, const char16_t* buttonName,
                               void (OptionsDialog::*handler)()) {
        auto* box = new QLineEdit(page);
        box->setObjectName(str(boxName));
        auto* browse = textButton(QStringLiteral("参照..."), buttonName, QString(), page);
        connect(browse, &QPushButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        line->addWidget(label(caption, page, labelName));
        line->addWidget(box, 1);
        line->addWidget(browse);
        grid->addLayout(line, row, 0, 1, 2);
        return box;
    };
    saveFolderBox_ = folderRow(0, u"Label14", QStringLiteral("ファイル保存基本フォルダ："),
                               u"InitDirSave", u"InsertDirSave", &OptionsDialog::chooseSaveFolder);
    openFolderBox_ = folderRow(1, u"Label15", QStringLiteral("ファイル読込基本フォルダ："),
                               u"InitDirOpen", u"InsertDirOpen", &OptionsDialog::chooseOpenFolder);

    auto* save = textButton(QStringLiteral("設定保存"), u"BitBtn21",
                            QStringLiteral("設定を保存します"), page);
    auto* load = textButton(QStringLiteral("設定読込"), u"BitBtn22",
                            QStringLiteral("設定を読み込みます"), page);
    connect(save, &QPushButton::clicked, this,
            [this] { guarded([this] { saveConfigurationAs(); }); });
    connect(load, &QPushButton::clicked, this,
            [this] { guarded([this] { openConfiguration(); }); });
    auto* heading = new QHBoxLayout;
    heading->addWidget(label(QStringLiteral("使用する設定ファイル"), page, u"Label5"), 0,
                       Qt::AlignBottom);
    heading->addStretch();
    heading->addWidget(save);
    heading->addWidget(load);
    grid->addLayout(heading, 2, 0, 1, 2);

    for (int w = 0; w < kWindowCount; ++w) {
        auto* box = new ColoredComboBox(page);
        box->setObjectName(QStringLiteral("ComboBox%1").arg(w + 1));
        box->setEditable(false);
        fileLists_[std::size_t(w)] = box;
        // Only a pick by the user sets the path; selections the program makes do not.
        connect(box, &QComboBox::activated, this,
                [this, w] { guarded([this, w] { onFileChosen(w); }); });
        const int row = 3 + (w / 2) * 2;
        const int column = w % 2;
        QLabel* caption = label(str(kComboCaptions[w]), page);
        caption->setObjectName(QStringLiteral("Label%1").arg(w + 1));
        grid->addWidget(caption, row, column);
        grid->addWidget(box, row + 1, column);
    }
    grid->setRowStretch(7, 1);
    return page;
}

void OptionsDialog::showCurrentSettings() {
    baseFolder_ = mainWindow_.programFolder();
    setFolderBox(saveFolderBox_, baseFolder_);
    setFolderBox(openFolderBox_, baseFolder_);

    const auto fill = [this](int w, const QWidget* window, const ByteEditor* editor,
                             const QString& name, const QString& path) {
        WindowPage p;
        p.name = name;
        p.look = {editor->font(), editor->textColor(), editor->backgroundColor()};
        const QRect outer = outerGeometry(window);
        p.width = QString::number(outer.width());
        p.height = QString::number(outer.height());
        p.left = QString::number(outer.left());
        p.top = QString::number(outer.top());
        if (const auto* sub = qobject_cast<const SubWindow*>(window)) {
            p.shown = sub->isVisible();
            p.onTop = sub->staysOnTop();
        }
        WindowPageTab* tab = pages_[std::size_t(w)];
        tab->setValues(p);
        tab->setFileName(path);
        for (const char16_t* line : kSampleLines)
            tab->sample()->appendPlainText(str(line));
        tab->sample()->moveCursor(QTextCursor::Start);
    };
    fill(0, &mainWindow_, mainWindow_.editor(), mainWindow_.windowName(),
         mainWindow_.settingsFilePath());
    for (int w = 1; w < kWindowCount; ++w) {
        SubWindow* sub = mainWindow_.subWindow(w);
        if (sub) {
            tabs_->setTabVisible(w + 1, true);
            fill(w, sub, sub->editor(), sub->windowName(), sub->settingsFilePath());
        }
        // A page is offered only while its sub-window is shown.
        if (!sub || !sub->isVisible())
            tabs_->setTabVisible(w + 1, false);
    }
    tabs_->setCurrentIndex(0);

    fillFileLists();
    loadConfigurationInUse();
    colorFileLists();
}

int OptionsDialog::currentWindow() const {
    const int index = tabs_->currentIndex();
    return index >= 1 && index <= kWindowCount ? index - 1 : -1;
}

void OptionsDialog::chooseFont() {
    const int w = currentWindow();
    if (w < 0)
        return;
    FontRequest request;
    request.effects = false;
    if (w == 0) {
        request.minSize = 8;
        request.maxSize = 48;
    }
    SamplePane* sample = pages_[std::size_t(w)]->sample();
    const QColor color = sample->textColor();
    if (const std::optional<FontChoice> chosen =
            dialogs().chooseFont({sample->font(), color}, request))
        sample->setFont(chosen->font);
    sample->setTextColor(color);
}

void OptionsDialog::chooseTextColor() {
    changeSampleColor(&SamplePane::textColor, &SamplePane::setTextColor);
}

void OptionsDialog::chooseBackgroundColor() {
    changeSampleColor(&SamplePane::backgroundColor, &SamplePane::setBackgroundColor);
}

void OptionsDialog::changeSampleColor(QColor (SamplePane::*color)() const,
                                      void (SamplePane::*setColor)(const QColor&)) {
    const int w = currentWindow();
    if (w < 0)
        return;
    SamplePane* sample = pages_[std::size_t(w)]->sample();
    if (const std::optional<QColor> chosen = dialogs().chooseColor((sample->*color)()))
        (sample->*setColor)(*chosen);
    colorFileLists();
}

void OptionsDialog::writePageFile(int window, const QString& path) {
    WindowPageTab* tab = pages_[std::size_t(window)];
    IniFile file(path);
    writeWindowPage(file, window, tab->values(), mainWindow_.dateTimeFormat());
    file.save();
    paths_[std::size_t(window)] = path;
    tab->setFileName(path);
}

void OptionsDialog::readPageFile(int window) {
    WindowPageTab* tab = pages_[std::size_t(window)];
    WindowPage page = tab->values();
    readWindowPage(IniFile(paths_[std::size_t(window)]), window, page);
    tab->setValues(page);
    tab->setFileName(paths_[std::size_t(window)]);
}

void OptionsDialog::savePageToFile() {
    FileRequest request = windowFileRequest();
    request.overwritePrompt = true;
    const std::optional<QString> chosen = dialogs().saveFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    if (const int w = currentWindow(); w >= 0)
        writePageFile(w, *chosen);
    const QString name = extractFileName(*chosen);
    QStringList first;
    for (int i = 0; i < fileLists_[0]->count(); ++i)
        first << fileLists_[0]->itemText(i);
    if (!joinsFileLists(first, name))
        return;
    for (QComboBox* box : fileLists_) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        box->insertItem(int(sortedPosition(items, name)), name);
    }
}

void OptionsDialog::loadPageFromFile() {
    FileRequest request = windowFileRequest();
    request.fileMustExist = true;
    const std::optional<QString> chosen = dialogs().openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    if (const int w = currentWindow(); w >= 0) {
        paths_[std::size_t(w)] = *chosen;
        readPageFile(w);
    }
    colorFileLists();
}

void OptionsDialog::applyAndClose() {
    cancelled_ = false;
    closeDialog();
}

void OptionsDialog::cancel() {
    cancelled_ = true;
    closeDialog();
}

void OptionsDialog::reject() {
    cancel();
}

void OptionsDialog::closeDialog() {
    // A failure shows its error, and the dialog stays open to be put right or cancelled.
    if (guarded([this] { applyUnlessCancelled(); }))
        done(cancelled_ ? Rejected : Accepted);
}

void OptionsDialog::applyUnlessCancelled() {
    if (cancelled_)
        return;
    OptionsChoices choices;
    choices.programFolder = baseFolder_;
    choices.configurationFile = configFilePath_;
    choices.configuration = {paths_, saveFolderBox_->text(), openFolderBox_->text()};
    for (int w = 0; w < kWindowCount; ++w) {
        choices.pageFileNames[std::size_t(w)] = pages_[std::size_t(w)]->fileName();
        choices.pages[std::size_t(w)] = pages_[std::size_t(w)]->values();
    }
    choices.dateTime = mainWindow_.dateTimeFormat();
    LiveWindows windows(mainWindow_);
    applyOptions(choices, windows);
}

void OptionsDialog::loadConfigurationInUse() {
    configFilePath_ =
        readConfigurationFilePath(IniFile(baseFolder_ + kMasterSettingsFile), baseFolder_);
    loadConfiguration();
}

void OptionsDialog::loadConfiguration() {
    Configuration defaults{{}, baseFolder_, baseFolder_};
    defaults.settingsFiles[0] = mainWindow_.settingsFilePath();
    for (int w = 1; w < kWindowCount; ++w)
        if (const SubWindow* sub = mainWindow_.subWindow(w))
            defaults.settingsFiles[std::size_t(w)] = sub->settingsFilePath();
    const Configuration c = readConfiguration(IniFile(configFilePath_), defaults);
    paths_ = c.settingsFiles;
    setFolderBox(saveFolderBox_, c.saveFolder);
    setFolderBox(openFolderBox_, c.openFolder);
    selectFilesInUse();
}

void OptionsDialog::storeConfiguration(const QString& path) {
    IniFile file(path);
    writeConfiguration(file, {paths_, saveFolderBox_->text(), openFolderBox_->text()});
    file.save();
    configFilePath_ = path;
}

void OptionsDialog::saveConfigurationAs() {
    FileRequest request = configurationFileRequest();
    request.overwritePrompt = true;
    const std::optional<QString> chosen = dialogs().saveFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    storeConfiguration(*chosen);
}

void OptionsDialog::openConfiguration() {
    FileRequest request = configurationFileRequest();
    request.fileMustExist = true;
    const std::optional<QString> chosen = dialogs().openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    configFilePath_ = *chosen;
    loadConfiguration();
}

void OptionsDialog::fillFileList(int window) {
    fileLists_[std::size_t(window)]->addItems(windowSettingsFileNames(baseFolder_));
}

void OptionsDialog::fillFileLists() {
    for (int w = 0; w < kWindowCount; ++w)
        fillFileList(w);
}

void OptionsDialog::selectFileInUse(int window) {
    QComboBox* box = fileLists_[std::size_t(window)];
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    box->setCurrentIndex(int(indexOfFileName(items, extractFileName(paths_[std::size_t(window)]))));
}

void OptionsDialog::selectFilesInUse() {
    for (int w = 0; w < kWindowCount; ++w)
        selectFileInUse(w);
}

void OptionsDialog::onFileChosen(int window) {
    const QComboBox* box = fileLists_[std::size_t(window)];
    if (box->currentIndex() >= 0)
        paths_[std::size_t(window)] = baseFolder_ + box->currentText();
}

void OptionsDialog::colorFileLists() {
    for (int w = 0; w < kWindowCount; ++w) {
        const SamplePane* sample = pages_[std::size_t(w)]->sample();
        colorComboBox(fileLists_[std::size_t(w)], sample->textColor(), sample->backgroundColor());
    }
}

void OptionsDialog::chooseSaveFolder() {
    chooseFolder(saveFolderBox_);
}

void OptionsDialog::chooseOpenFolder() {
    chooseFolder(openFolderBox_);
}

void OptionsDialog::chooseFolder(QLineEdit* box) {
    FileRequest request;
    request.title = QStringLiteral("使用したいフォルダのファイルをどれかひとつ選択してください");
    request.filters = documentFileFilters(false);
    request.selectedFilter = kDocumentFilterSelected;
    // The chooser opens in the folder the box names, when there is one.
    if (const QString folder = box->text(); !folder.isEmpty() && QDir(folder).exists())
        request.startFolder = folder;
    request.hideReadOnly = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = dialogs().openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    setFolderBox(box, extractFilePath(*chosen));
}

void OptionsDialog::setFolderBox(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0); // a long path shows its start
    setHint(box, text);
}

} // namespace qel

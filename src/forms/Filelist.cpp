#include "Filelist.h"

#include "MainWindow.h"
#include "WindowSettings.h"
#include "document/DocumentRules.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingValues.h"
#include "text/Error.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace qel {

namespace {

const QString kMasterFile = QStringLiteral("QelEditor.ini");
const QString kOpenHint = QStringLiteral("ファイルリストを開きます");
const QString kCloseHint = QStringLiteral("ファイルリストを閉じます");
// Where the window stands when the master settings file says nothing.
const QRect kDefaultPlace(0, 0, 330, 230);
constexpr int kMinimumColumnWidths[kColumnCount] = {50, 60, 0, 400};

struct ListCommand {
    const char16_t* name;
    const char16_t* category;
    const char16_t* caption;
    int shortcut; // 0: none
    void (TListWindow::*handler)();
};

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}

const ListCommand kListCommands[] = {
    {u"ItemAdd", u"リスト操作", u"追加(&A)", key(Qt::CTRL | Qt::Key_A),
     &TListWindow::ItemAddExecute},
    {u"ItemDelete", u"リスト操作", u"削除(&D)", key(QKeyCombination(Qt::Key_Delete)),
     &TListWindow::ItemDeleteExecute},
    {u"ItemDeleteAll", u"リスト操作", u"すべて削除", 0, &TListWindow::ItemDeleteAllExecute},
    {u"ListNew", u"リスト操作", u"リスト新規作成(&N)", key(Qt::CTRL | Qt::Key_N),
     &TListWindow::ListNewExecute},
    {u"ListOpen", u"リスト操作", u"リスト読込(&L)", key(Qt::CTRL | Qt::Key_L),
     &TListWindow::ListOpenExecute},
    {u"ListSave", u"リスト操作", u"リスト保存(&S)", key(Qt::CTRL | Qt::Key_S),
     &TListWindow::ListSaveExecute},
    {u"FileOpen", u"リスト操作", u"FileOpen", 0, &TListWindow::FileOpenExecute},
    {u"SortName", u"Sort", u"ファイル名(&F)", 0, &TListWindow::SortNameExecute},
    {u"SortDate", u"Sort", u"更新日(&D)", 0, &TListWindow::SortDateExecute},
    {u"SortSize", u"Sort", u"サイズ(&S)", 0, &TListWindow::SortSizeExecute},
    {u"SortFullPath", u"Sort", u"フルパス(&P)", 0, &TListWindow::SortFullPathExecute},
    {u"ChangeFont", u"Font", u"フォント変更", 0, &TListWindow::ChangeFontExecute},
    {u"ChangeFontColor", u"Font", u"文字色変更", 0, &TListWindow::ChangeFontColorExecute},
    {u"ChangeBackColor", u"Font", u"背景色変更", 0, &TListWindow::ChangeBackColorExecute},
    {u"CloseListWindow", u"", u"リストを閉じる(&E)", 0, &TListWindow::CloseListWindowExecute},
};

// The row under the mouse is underlined.
class HotTrackDelegate : public QStyledItemDelegate {
public:
    explicit HotTrackDelegate(const int& hotRow, QObject* parent)
        : QStyledItemDelegate(parent), hotRow_(hotRow) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() == hotRow_)
            option->font.setUnderline(true);
    }

private:
    const int& hotRow_;
};

} // namespace

TListWindow::TListWindow(MainWindow* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow), commands_(this) {
    setObjectName(QStringLiteral("ListWindow"));
    createComponents();
    createCommands();

    // FormCreate
    programFolder_ = qel::programFolder();
    modified_ = false;
    ListNewExecute();
    placeWindow(this, kDefaultPlace);
    if (QFileInfo::exists(programFolder_ + kMasterFile))
        LoadIni();
}

TListWindow::~TListWindow() = default;

void TListWindow::setOpenFileListCommand(bool shown) {
    QAction* open =
        mainWindow_ ? mainWindow_->commands().action(QStringLiteral("OpenFileList")) : nullptr;
    if (open) {
        open->setChecked(shown);
        open->setToolTip(shown ? kCloseHint : kOpenHint);
        open->setStatusTip(open->toolTip());
    }
}

void TListWindow::createComponents() {
    setMinimumSize(170, 50);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new FileList(QLocale::system(), this);
    listView_ = new QTableView(this);
    listView_->setObjectName(QStringLiteral("ListView1"));
    listView_->setMinimumSize(160, 20);
    listView_->setModel(list_);
    listView_->setShowGrid(true);
    listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView_->setWordWrap(false);
    listView_->setTabKeyNavigation(false);
    listView_->verticalHeader()->hide();
    listView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    listView_->setItemDelegate(new HotTrackDelegate(hotRow_, listView_));
    listView_->setMouseTracking(true);
    layout->addWidget(listView_);

    QHeaderView* header = listView_->horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Columns keep their minimum widths however they are dragged or read.
    connect(header, &QHeaderView::sectionResized, this, [header](int column, int, int width) {
        if (column >= 0 && column < kColumnCount && width < kMinimumColumnWidths[column])
            header->resizeSection(column, kMinimumColumnWidths[column]);
    });
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { guarded([&] { sortBy(SortKey(column)); }); });
    connect(listView_, &QAbstractItemView::doubleClicked, this,
            [this] { guarded([this] { FileOpenExecute(); }); });
    connect(listView_, &QAbstractItemView::entered, this,
            [this](const QModelIndex& index) { setHotRow(index.row()); });
    connect(listView_, &QAbstractItemView::viewportEntered, this, [this] { setHotRow(-1); });
    listView_->installEventFilter(this);
    listView_->viewport()->installEventFilter(this);

    const auto onDrop = [this](const QStringList& paths) { dropFiles(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(listView_->viewport(), onDrop);
}

void TListWindow::createCommands() {
    for (const ListCommand& c : kListCommands) {
        CommandSpec spec;
        spec.name = QString::fromUtf16(c.name);
        spec.category = QString::fromUtf16(c.category);
        spec.caption = QString::fromUtf16(c.caption);
        spec.shortcut = c.shortcut != 0 ? QKeySequence(c.shortcut) : QKeySequence();
        QAction* a = commands_.add(spec, [this, handler = c.handler] { (this->*handler)(); });
        addAction(a); // shortcuts work while this window is active
    }
    const auto names = [](std::initializer_list<const char16_t*> list) {
        QStringList out;
        for (const char16_t* n : list)
            out << QString::fromUtf16(n);
        return out;
    };
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    commands_.fill(popupMenu_, names({u"ItemAdd", u"ItemDelete", u"ItemDeleteAll", u"-", u"ListNew",
                                      u"ListOpen", u"ListSave", u"-"}));
    commands_.fill(popupMenu_->addMenu(QStringLiteral("ソート種類")),
                   names({u"SortName", u"SortDate", u"SortSize", u"SortFullPath"}));
    popupMenu_->addSeparator();
    commands_.fill(popupMenu_->addMenu(QStringLiteral("設定")),
                   names({u"ChangeFont", u"ChangeBackColor", u"ChangeFontColor"}));
    commands_.fill(popupMenu_, names({u"-", u"CloseListWindow"}));
    listView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMenu_->popup(listView_->viewport()->mapToGlobal(at));
    });
}

QString TListWindow::newListPath() const {
    return programFolder_ + QStringView(kNewListName);
}

void TListWindow::AddItem(const QStringList& paths) {
    const std::vector<AddOutcome> outcomes = list_->addAll(paths);
    modified_ = true;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i] == AddOutcome::Missing)
            dialogs().message(missingOnAddMessage(paths[qsizetype(i)]));
        else if (outcomes[i] == AddOutcome::Duplicate)
            dialogs().message(duplicateMessage(paths[qsizetype(i)]));
    }
}

void TListWindow::ItemAddExecute() {
    FileRequest request;
    request.title = QStringLiteral("リストへ追加するファイルを選択してください");
    request.filters = documentFileFilters(false);
    request.selectedFilter = kDocumentFilterSelected;
    request.hideReadOnly = true;
    const QStringList chosen = dialogs().openFiles(request);
    if (!chosen.isEmpty())
        AddItem(chosen);
}

void TListWindow::dropFiles(const QStringList& paths) {
    activateWindow();
    raise();
    if (!paths.isEmpty())
        AddItem(paths);
}

void TListWindow::ItemDeleteExecute() {
    const QModelIndexList selected = listView_->selectionModel()->selectedRows();
    if (list_->size() == 0 || selected.isEmpty())
        return;
    list_->remove(selected.first().row());
    modified_ = true;
}

void TListWindow::ItemDeleteAllExecute() {
    list_->clear();
    modified_ = true;
}

void TListWindow::FileOpenExecute() {
    const QModelIndexList selected = listView_->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const QString path = list_->entry(selected.first().row()).fullPath;
    if (!QFileInfo(path).isFile()) {
        dialogs().message(missingOnOpenMessage(path)); // the entry stays
        return;
    }
    if (!mainWindow_)
        return;
    mainWindow_->askToSave();
    if (mainWindow_->takeSaveCancelled())
        return;
    mainWindow_->loadDocument(path);
}

void TListWindow::sortBy(SortKey key) {
    list_->sortBy(key);
    modified_ = true;
}

void TListWindow::SortNameExecute() {
    sortBy(SortKey::Name);
}
void TListWindow::SortDateExecute() {
    sortBy(SortKey::Date);
}
void TListWindow::SortSizeExecute() {
    sortBy(SortKey::Size);
}
void TListWindow::SortFullPathExecute() {
    sortBy(SortKey::FullPath);
}

void TListWindow::setListFont(const QFont& font) {
    listView_->setFont(font);
    // Rows grow and shrink with the font.
    listView_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
}

void TListWindow::ChangeFontExecute() {
    FontRequest request;
    request.effects = false;
    const std::optional<FontChoice> chosen = dialogs().chooseFont(
        {listView_->font(), listView_->palette().color(QPalette::Text)}, request);
    if (!chosen)
        return;
    QFont font = chosen->font;
    // No effects are offered: underline and strike-out stay as they were.
    font.setUnderline(listView_->font().underline());
    font.setStrikeOut(listView_->font().strikeOut());
    setListFont(font);
    modified_ = true;
}

void TListWindow::ChangeFontColorExecute() {
    chooseColor(QPalette::Text);
}

void TListWindow::ChangeBackColorExecute() {
    chooseColor(QPalette::Base);
}

void TListWindow::chooseColor(QPalette::ColorRole role) {
    const std::optional<QColor> chosen = dialogs().chooseColor(listView_->palette().color(role));
    if (!chosen)
        return;
    QPalette p = listView_->palette();
    p.setColor(role, *chosen);
    listView_->setPalette(p);
    modified_ = true;
}

void TListWindow::applyLook(const ListLook& look) {
    QFont font = listView_->font();
    font.setFamily(look.font);
    if (look.fontSize > 0)
        font.setPointSize(look.fontSize);
    setListFont(font);
    QPalette p = listView_->palette();
    p.setColor(QPalette::Text, colorFromValue(look.fontColor, Qt::black));
    p.setColor(QPalette::Base, colorFromValue(look.color, Qt::white));
    listView_->setPalette(p);
    for (int c = 0; c < kColumnCount; ++c)
        listView_->horizontalHeader()->resizeSection(
            c, std::max(look.columnWidths[size_t(c)], kMinimumColumnWidths[c]));
}

ListLook TListWindow::currentLook() const {
    ListLook look;
    const QFont font = listView_->font();
    look.font = font.family();
    look.fontSize = font.pointSize();
    look.fontColor = colorValue(listView_->palette().color(QPalette::Text));
    look.color = colorValue(listView_->palette().color(QPalette::Base));
    for (int c = 0; c < kColumnCount; ++c)
        look.columnWidths[size_t(c)] = listView_->horizontalHeader()->sectionSize(c);
    return look;
}

void TListWindow::ChangeCaption() {
    setWindowTitle(extractFileName(listFilePath_));
}

std::optional<Answer> TListWindow::SaveCheck() {
    if (!modified_)
        return std::nullopt;
    const Answer answer = dialogs().askYesNoCancel(listSaveQuestion(listFilePath_));
    saveCheckCancel_ = answer == Answer::Cancel ? 1 : 0;
    if (answer == Answer::Yes)
        ListSaveExecute();
    return answer;
}

void TListWindow::startNewList() {
    list_->clear();
    listFilePath_ = newListPath();
    ChangeCaption();
    modified_ = false;
    // The font style is not part of a list: it stays as it was.
    applyLook(ListLook());
}

void TListWindow::ListNewExecute() {
    SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return;
    }
    startNewList();
}

FileRequest TListWindow::listFileRequest(const QString& title) const {
    FileRequest request;
    request.title = title;
    request.filters = {QStringLiteral("QelEditorファイルリスト (*.QelL)")};
    request.defaultExtension = QString::fromUtf16(kListFileExtension);
    request.hideReadOnly = true;
    request.startFolder = programFolder_;
    request.proposedName = listFilePath_;
    return request;
}

void TListWindow::ListOpenExecute() {
    SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return;
    }
    const std::optional<QString> chosen =
        dialogs().openFile(listFileRequest(QStringLiteral("ファイルリストの選択")));
    if (!chosen)
        return;
    listFilePath_ = *chosen;
    LoadList1();
    ChangeCaption();
    modified_ = false;
}

void TListWindow::ListSaveExecute() {
    FileRequest request = listFileRequest(QStringLiteral("ファイルリストの保存"));
    request.overwritePrompt = true;
    // Cancelling the dialog saves the list where it is.
    if (const std::optional<QString> chosen = dialogs().saveFile(request))
        listFilePath_ = *chosen;
    SaveList1();
    ChangeCaption();
}

void TListWindow::LoadList1() {
    list_->clear();
    ListFileContents contents;
    {
        const IniFile ini(listFilePath_);
        contents = readListFile(ini);
    }
    applyLook(contents.look);
    AddItem(contents.paths);
    modified_ = false;
}

void TListWindow::SaveList1() {
    IniFile ini(listFilePath_);
    writeListFile(ini, currentLook(), list_->fullPaths());
    // The user asked for the list to be kept: a list that could not be written is
    // reported, and still counts as changed.
    if (!ini.commit())
        throw Error(listFilePath_ + u"に書き込めませんでした。");
    modified_ = false;
}

void TListWindow::LoadIni() {
    FileListState state;
    const QString defaultList = programFolder_ + QStringView(kDefaultListFileName);
    {
        const IniFile ini(programFolder_ + kMasterFile);
        placeWindow(this, readPlacement(ini, kDefaultPlace, kFileListSection));
        state = readFileListState(ini, defaultList);
    }
    setVisible(state.visible);
    setOpenFileListCommand(state.visible);
    listFilePath_ = state.useListFile;
    if (!QFileInfo(listFilePath_).isFile() && listFilePath_ != defaultList) {
        dialogs().message(QString::fromUtf16(kListFallbackMessage));
        listFilePath_ = defaultList;
    }
    LoadList1();
    ChangeCaption();
}

void TListWindow::SaveIni() {
    {
        IniFile ini(programFolder_ + kMasterFile);
        writePlacement(ini, this, kFileListSection);
        writeFileListState(ini, {isVisible(), listFilePath_});
    }
    if (declinedAtClose_) {
        // Not saved, and still changed: the question comes again at the next close.
        declinedAtClose_ = false;
        return;
    }
    if (listFilePath_ != newListPath()) {
        SaveList1();
    } else if (modified_) {
        SaveCheck(); // nothing is left to stop: Cancel counts as No
        saveCheckCancel_ = 0;
    }
    modified_ = false;
}

bool TListWindow::FormCloseQuery() {
    const std::optional<Answer> answer = SaveCheck();
    if (saveCheckCancel_ == 1) {
        saveCheckCancel_ = 0;
        return false;
    }
    declinedAtClose_ = answer == Answer::No;
    return true;
}

void TListWindow::finishClose() {
    setOpenFileListCommand(false);
    SaveIni();
}

void TListWindow::CloseListWindowExecute() {
    close();
}

void TListWindow::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    if (!guarded([&] { mayClose = FormCloseQuery(); }) || !mayClose) {
        event->ignore();
        return;
    }
    // Closed by the user: the window is gone from the screen, and the master settings
    // file says so.
    hide();
    guarded([this] { finishClose(); });
    event->accept(); // only hides: the window lives as long as the program
}

void TListWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        listView_->setFocus(); // FormActivate
}

void TListWindow::setHotRow(int row) {
    if (row == hotRow_)
        return;
    hotRow_ = row;
    listView_->viewport()->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    listView_->viewport()->update();
}

bool TListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listView_->viewport() && event->type() == QEvent::Leave)
        setHotRow(-1);
    if (watched == listView_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !key->isAutoRepeat()) {
            // Only an Enter pressed here opens: the release of an Enter that closed a
            // message box must not open the entry (and the box) again.
            if (event->type() == QEvent::KeyPress) {
                enterPressed_ = true;
            } else if (enterPressed_) {
                enterPressed_ = false;
                guarded([this] { FileOpenExecute(); });
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qel

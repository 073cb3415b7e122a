#include "FileListWindow.h"

#include "MainWindow.h"
#include "WindowSettings.h"
#include "document/DocumentRules.h"
#include "platform/FileDrops.h"
#include "platform/Guard.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingValues.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
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
    void (FileListWindow::*handler)();
};

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}

const ListCommand kListCommands[] = {
    {u"ItemAdd", u"リスト操作", u"追加(&A)", key(Qt::CTRL | Qt::Key_A), &FileListWindow::addFiles},
    {u"ItemDelete", u"リスト操作", u"削除(&D)", key(QKeyCombination(Qt::Key_Delete)),
     &FileListWindow::removeSelected},
    {u"ItemDeleteAll", u"リスト操作", u"すべて削除", 0, &FileListWindow::removeAll},
    {u"ListNew", u"リスト操作", u"リスト新規作成(&N)", key(Qt::CTRL | Qt::Key_N),
     &FileListWindow::newList},
    {u"ListOpen", u"リスト操作", u"リスト読込(&L)", key(Qt::CTRL | Qt::Key_L),
     &FileListWindow::openList},
    {u"ListSave", u"リスト操作", u"リスト保存(&S)", key(Qt::CTRL | Qt::Key_S),
     &FileListWindow::saveList},
    {u"FileOpen", u"リスト操作", u"FileOpen", 0, &FileListWindow::openSelectedFile},
    {u"SortName", u"Sort", u"ファイル名(&F)", 0, &FileListWindow::sortByName},
    {u"SortDate", u"Sort", u"更新日(&D)", 0, &FileListWindow::sortByDate},
    {u"SortSize", u"Sort", u"サイズ(&S)", 0, &FileListWindow::sortBySize},
    {u"SortFullPath", u"Sort", u"フルパス(&P)", 0, &FileListWindow::sortByFullPath},
    {u"ChangeFont", u"Font", u"フォント変更", 0, &FileListWindow::chooseFont},
    {u"ChangeFontColor", u"Font", u"文字色変更", 0, &FileListWindow::chooseTextColor},
    {u"ChangeBackColor", u"Font", u"背景色変更", 0, &FileListWindow::chooseBackgroundColor},
    {u"CloseListWindow", u"", u"リストを閉じる(&E)", 0, &FileListWindow::closeWindow},
};

// The row under the mouse is underlined. The focus frame is the view's, round the
// whole row: no cell draws one of its own.
class HotTrackDelegate : public QStyledItemDelegate {
public:
    explicit HotTrackDelegate(const int& hotRow, QObject* parent)
        : QStyledItemDelegate(parent), hotRow_(hotRow) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
        if (index.row() == hotRow_)
            option->font.setUnderline(true);
    }

private:
    const int& hotRow_;
};

// A list of rows, as report lists go: Home and End go to the first and the last entry,
// Left and Right scroll sideways, moving between rows never does, and the focus frame
// goes round the current row.
class ReportView : public QTableView {
public:
    using QTableView::QTableView;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        const int sideways = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(sideways);
    }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const int rows = model() ? model()->rowCount() : 0;
        if ((action == MoveHome || action == MoveEnd) && rows > 0)
            return model()->index(action == MoveHome ? 0 : rows - 1, 0);
        return QTableView::moveCursor(action, modifiers);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const bool sideways = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
        if (sideways && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left
                                                     ? QAbstractSlider::SliderSingleStepSub
                                                     : QAbstractSlider::SliderSingleStepAdd);
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QTableView::paintEvent(event);
        const QModelIndex current = currentIndex();
        if (!hasFocus() || !current.isValid() || !model())
            return;
        const int last = model()->columnCount() - 1;
        const int left = columnViewportPosition(0);
        const int right = columnViewportPosition(last) + columnWidth(last);
        // As a cell draws its frame (QCommonStyle), over the row's whole width.
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = QRect(left, rowViewportPosition(current.row()), right - left,
                           rowHeight(current.row()) - (showGrid() ? 1 : 0));
        frame.state |=
            QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const bool selected = selectionModel() && selectionModel()->isRowSelected(current.row());
        frame.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
        QPainter painter(viewport());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
};

} // namespace

FileListWindow::FileListWindow(MainWindow* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow), commands_(this) {
    setObjectName(QStringLiteral("ListWindow"));
    createWidgets();
    createCommands();

    // A new list in the default place, then the list and place the settings name.
    programFolder_ = qel::programFolder();
    modified_ = false;
    newList();
    placeWindow(this, kDefaultPlace);
    if (QFileInfo::exists(programFolder_ + kMasterFile))
        readSettings();
}

FileListWindow::~FileListWindow() = default;

void FileListWindow::setOpenFileListCommand(bool shown) {
    QAction* open =
        mainWindow_ ? mainWindow_->commands().action(QStringLiteral("OpenFileList")) : nullptr;
    if (open) {
        open->setChecked(shown);
        open->setToolTip(shown ? kCloseHint : kOpenHint);
        open->setStatusTip(open->toolTip());
    }
}

void FileListWindow::createWidgets() {
    setMinimumSize(170, 50);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new FileList(QLocale::system(), this);
    listView_ = new ReportView(this);
    listView_->setObjectName(QStringLiteral("ListView1"));
    listView_->setMinimumSize(160, 20);
    // The column captions are shown with the window: the list measures the captions
    // of a shown header whenever its columns change, which would cost a window that
    // stays hidden its share of the start.
    listView_->horizontalHeader()->hide();
    listView_->verticalHeader()->hide();
    listView_->setModel(list_);
    listView_->setShowGrid(true);
    listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView_->setWordWrap(false);
    listView_->setTabKeyNavigation(false);
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
            [this] { guarded([this] { openSelectedFile(); }); });
    connect(listView_, &QAbstractItemView::entered, this,
            [this](const QModelIndex& index) { setHotRow(index.row()); });
    connect(listView_, &QAbstractItemView::viewportEntered, this, [this] { setHotRow(-1); });
    listView_->installEventFilter(this);
    listView_->viewport()->installEventFilter(this);

    const auto onDrop = [this](const QStringList& paths) { addDropped(paths); };
    new FileDropTarget(this, onDrop);
    new FileDropTarget(listView_->viewport(), onDrop);
}

void FileListWindow::createCommands() {
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
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    commands_.fill(contextMenu_, names({u"ItemAdd", u"ItemDelete", u"ItemDeleteAll", u"-",
                                        u"ListNew", u"ListOpen", u"ListSave", u"-"}));
    commands_.fill(contextMenu_->addMenu(QStringLiteral("ソート種類")),
                   names({u"SortName", u"SortDate", u"SortSize", u"SortFullPath"}));
    contextMenu_->addSeparator();
    commands_.fill(contextMenu_->addMenu(QStringLiteral("設定")),
                   names({u"ChangeFont", u"ChangeBackColor", u"ChangeFontColor"}));
    commands_.fill(contextMenu_, names({u"-", u"CloseListWindow"}));
    listView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        contextMenu_->popup(listView_->viewport()->mapToGlobal(at));
    });
}

QString FileListWindow::newListPath() const {
    return programFolder_ + QStringView(kNewListName);
}

void FileListWindow::entriesChanged() {
    modified_ = true;
    keptMissing_.clear();
}

void FileListWindow::addPaths(const QStringList& paths) {
    const std::vector<AddOutcome> outcomes = list_->addAll(paths);
    entriesChanged();
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i] == AddOutcome::Missing)
            dialogs().message(missingOnAddMessage(paths[qsizetype(i)]));
        else if (outcomes[i] == AddOutcome::Duplicate)
            dialogs().message(duplicateMessage(paths[qsizetype(i)]));
    }
}

void FileListWindow::addFiles() {
    FileRequest request;
    request.title = QStringLiteral("リストへ追加するファイルを選択してください");
    request.filters = documentFileFilters(false);
    request.selectedFilter = kDocumentFilterSelected;
    request.hideReadOnly = true;
    const QStringList chosen = dialogs().openFiles(request);
    if (!chosen.isEmpty())
        addPaths(chosen);
}

void FileListWindow::addDropped(const QStringList& paths) {
    activateWindow();
    raise();
    if (!paths.isEmpty())
        addPaths(paths);
}

void FileListWindow::removeSelected() {
    const QModelIndexList selected = listView_->selectionModel()->selectedRows();
    if (list_->size() == 0 || selected.isEmpty())
        return;
    list_->remove(selected.first().row());
    entriesChanged();
}

void FileListWindow::removeAll() {
    list_->clear();
    entriesChanged();
}

void FileListWindow::openSelectedFile() {
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

void FileListWindow::sortBy(SortKey key) {
    list_->sortBy(key);
    entriesChanged();
}

void FileListWindow::sortByName() {
    sortBy(SortKey::Name);
}
void FileListWindow::sortByDate() {
    sortBy(SortKey::Date);
}
void FileListWindow::sortBySize() {
    sortBy(SortKey::Size);
}
void FileListWindow::sortByFullPath() {
    sortBy(SortKey::FullPath);
}

void FileListWindow::setListFont(const QFont& font) {
    listView_->setFont(font);
    // Rows grow and shrink with the font.
    listView_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
}

void FileListWindow::chooseFont() {
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

void FileListWindow::chooseTextColor() {
    chooseColor(QPalette::Text);
}

void FileListWindow::chooseBackgroundColor() {
    chooseColor(QPalette::Base);
}

void FileListWindow::chooseColor(QPalette::ColorRole role) {
    const std::optional<QColor> chosen = dialogs().chooseColor(listView_->palette().color(role));
    if (!chosen)
        return;
    QPalette p = listView_->palette();
    p.setColor(role, *chosen);
    listView_->setPalette(p);
    modified_ = true;
}

void FileListWindow::applyLook(const ListLook& look) {
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
    if (!look.dateWidthStored)
        listView_->horizontalHeader()->resizeSection(
            int(SortKey::Date),
            std::max(look.columnWidths[size_t(SortKey::Date)], fittingDateWidth()));
}

int FileListWindow::fittingDateWidth() const {
    // Measured as the view measures its cells, on the widest dates of a year.
    QStyleOptionViewItem option;
    option.initFrom(listView_);
    option.font = listView_->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    int widest = 0;
    for (int month = 1; month <= 12; ++month) {
        option.text = dayText(QDateTime(QDate(2088, month, 28), QTime(0, 0)), list_->locale());
        widest = std::max(
            widest, listView_->style()
                        ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), listView_)
                        .width());
    }
    return widest + (listView_->showGrid() ? 1 : 0);
}

ListLook FileListWindow::currentLook() const {
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

void FileListWindow::updateCaption() {
    setWindowTitle(extractFileName(listFilePath_));
}

std::optional<Answer> FileListWindow::askToSave() {
    if (!modified_)
        return std::nullopt;
    const Answer answer = dialogs().askYesNoCancel(listSaveQuestion(listFilePath_));
    saveCancelled_ = answer == Answer::Cancel;
    if (answer == Answer::Yes)
        saveList();
    return answer;
}

bool FileListWindow::takeSaveCancelled() {
    const bool cancelled = saveCancelled_;
    saveCancelled_ = false;
    return cancelled;
}

void FileListWindow::startNewList() {
    list_->clear();
    keptMissing_.clear();
    listFilePath_ = newListPath();
    updateCaption();
    modified_ = false;
    // The font style is not part of a list: it stays as it was.
    applyLook(ListLook());
}

void FileListWindow::newList() {
    askToSave();
    if (takeSaveCancelled())
        return;
    startNewList();
}

FileRequest FileListWindow::listFileRequest(const QString& title) const {
    FileRequest request;
    request.title = title;
    request.filters = {
        fileFilter(QStringLiteral("QelEditorファイルリスト (*.QelL)"), QStringLiteral("*.QelL"))};
    request.defaultExtension = QString::fromUtf16(kListFileExtension);
    request.hideReadOnly = true;
    request.startFolder = programFolder_;
    request.proposedName = listFilePath_;
    return request;
}

void FileListWindow::openList() {
    askToSave();
    if (takeSaveCancelled())
        return;
    const std::optional<QString> chosen =
        dialogs().openFile(listFileRequest(QStringLiteral("ファイルリストの選択")));
    if (!chosen)
        return;
    listFilePath_ = *chosen;
    loadList();
    updateCaption();
    modified_ = false;
}

void FileListWindow::saveList() {
    FileRequest request = listFileRequest(QStringLiteral("ファイルリストの保存"));
    request.overwritePrompt = true;
    // Cancelling the dialog saves the list where it is. The list goes where it was
    // saved only once it is there: a failed save changes nothing but the message.
    const QString path = dialogs().saveFile(request).value_or(listFilePath_);
    // Saved by the user, the list is what the user sees.
    writeListTo(path, list_->fullPaths());
    keptMissing_.clear();
    listFilePath_ = path;
    updateCaption();
}

void FileListWindow::loadList() {
    list_->clear();
    keptMissing_.clear();
    ListFileContents contents;
    {
        const IniFile ini(listFilePath_);
        contents = readListFile(ini);
    }
    applyLook(contents.look);
    const std::vector<AddOutcome> outcomes = list_->addAll(contents.paths);
    QStringList missing;
    QStringList duplicates;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        const QString& path = contents.paths[qsizetype(i)];
        if (outcomes[i] == AddOutcome::Missing)
            missing << path;
        else if (outcomes[i] == AddOutcome::Duplicate)
            duplicates << path;
        // A gap in the entry keys was no entry of the user's: it is not kept.
        if (outcomes[i] == AddOutcome::Missing && path != QStringView(kMissingEntryPath))
            keptMissing_ << path;
    }
    if (!missing.isEmpty())
        dialogs().message(missingOnReadMessage(missing));
    for (const QString& path : duplicates)
        dialogs().message(duplicateMessage(path));
    modified_ = false;
}

void FileListWindow::writeList() {
    writeListTo(listFilePath_, list_->fullPaths() + keptMissing_);
}

void FileListWindow::writeListTo(const QString& path, const QStringList& entries) {
    IniFile ini(path);
    writeListFile(ini, currentLook(), entries);
    // The user asked for the list to be kept: a list that could not be written is
    // reported with the reason, and still counts as changed.
    ini.save();
    modified_ = false;
}

void FileListWindow::readSettings() {
    FileListState state;
    const QString defaultList = programFolder_ + QStringView(kDefaultListFileName);
    {
        const IniFile ini(programFolder_ + kMasterFile);
        placeWindow(this, readPlacement(ini, kDefaultPlace, kFileListSection));
        state = readFileListState(ini, defaultList);
    }
    setVisible(state.visible);
    setOpenFileListCommand(state.visible);
    listFilePath_ = state.listFile;
    if (!QFileInfo(listFilePath_).isFile() && listFilePath_ != defaultList) {
        dialogs().message(QString::fromUtf16(kListFallbackMessage));
        listFilePath_ = defaultList;
    }
    loadList();
    updateCaption();
}

void FileListWindow::writeSettings() {
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
        writeList();
    } else if (modified_) {
        askToSave(); // nothing is left to stop: Cancel counts as No
        saveCancelled_ = false;
    }
    modified_ = false;
}

bool FileListWindow::mayClose() {
    const std::optional<Answer> answer = askToSave();
    if (takeSaveCancelled())
        return false;
    declinedAtClose_ = answer == Answer::No;
    return true;
}

void FileListWindow::finishClose() {
    setOpenFileListCommand(false);
    writeSettings();
}

void FileListWindow::closeWindow() {
    close();
}

void FileListWindow::closeEvent(QCloseEvent* event) {
    bool closing = false;
    if (!guarded([&] { closing = mayClose(); }) || !closing) {
        event->ignore();
        return;
    }
    // Closed by the user: the window is gone from the screen, and the master settings
    // file says so.
    hide();
    guarded([this] { finishClose(); });
    event->accept(); // only hides: the window lives as long as the program
}

void FileListWindow::showEvent(QShowEvent* event) {
    listView_->horizontalHeader()->show();
    QWidget::showEvent(event);
}

void FileListWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        listView_->setFocus();
}

void FileListWindow::setHotRow(int row) {
    if (row == hotRow_)
        return;
    hotRow_ = row;
    listView_->viewport()->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    listView_->viewport()->update();
}

bool FileListWindow::eventFilter(QObject* watched, QEvent* event) {
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
                guarded([this] { openSelectedFile(); });
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qel

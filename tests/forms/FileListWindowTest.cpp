// The file list window in a whole window set, every question answered by script: its
// looks and commands, adding, opening in the main window, sorting, the list files with
// their save questions, and start-up and exit.
#include "FormTestSupport.h"

#include "settings/IniFile.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

using namespace qel;
using namespace qel::testing;

class FileListWindowTest : public QObject, ProgramFixture {
    Q_OBJECT

    QTableView* view() { return fileListWindow()->listView(); }

    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < fileListWindow()->list().rowCount(); ++r)
            out << fileListWindow()->list().index(r, c).data().toString();
        return out;
    }

    QStringList names() { return column(0); }

    QAction* listCommand(const char* name) {
        return fileListWindow()->commands().action(QString::fromLatin1(name));
    }

    void selectRow(int row) { view()->selectRow(row); }

    QPoint rowCenter(int row) {
        return view()->visualRect(fileListWindow()->list().index(row, 0)).center();
    }

    // A file of `size` bytes in the program folder.
    QString makeFile(const QString& name, qint64 size = 1) {
        const QString p = path(name);
        writeBytes(p, QByteArray(size, 'x'));
        return p;
    }
    QString newListPath() const { return folder() + u"新規リスト"; }
    // A list file holding `files`, and a master settings file that names it.
    QString namedList(const QStringList& files, bool visible = true) {
        const QString list = path(u"mine.QelL"_s);
        {
            IniFile ini(list);
            writeListFile(ini, ListLook(), files);
        }
        IniFile master(path(u"QelEditor.ini"_s));
        master.writeBool(u"FileList", u"Visible", visible);
        master.writeString(u"FileList", u"UseListFile", list);
        return list;
    }
    // The filter as the file dialog shows it: the program's dialogs keep the patterns
    // Qt needs out of sight.
    static QString shownFilter(const QString& filter) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters({filter});
        auto* types = dialog.findChild<QComboBox*>(u"fileTypeCombo"_s);
        return types ? types->itemText(0) : u"<no type box>"_s;
    }
    // Where the keyboard focus frame is drawn for the current row `row`, which is not
    // selected: where the view looks different from the view without a current row.
    QRect focusFrame(int row) {
        QItemSelectionModel* selection = view()->selectionModel();
        selection->clear();
        view()->setFocus();
        const QImage none = view()->viewport()->grab().toImage();
        selection->setCurrentIndex(fileListWindow()->list().index(row, 0),
                                   QItemSelectionModel::NoUpdate);
        const QImage current = view()->viewport()->grab().toImage();
        QRect frame;
        for (int y = 0; y < current.height(); ++y)
            for (int x = 0; x < current.width(); ++x)
                if (current.pixel(x, y) != none.pixel(x, y))
                    frame |= QRect(x, y, 1, 1);
        return frame;
    }
    QString masterValue(const char16_t* key) const {
        const IniFile ini(path(u"QelEditor.ini"_s));
        return ini.readString(u"FileList", key, u"<none>"_s);
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void windowLooksAndCommands() {
        start();
        QCOMPARE(fileListWindow()->windowTitle(), u"新規リスト"_s);
        QVERIFY(fileListWindow()->isHidden());
        QCOMPARE(fileListWindow()->minimumSize(), QSize(170, 50));
        QCOMPARE(view()->minimumSize(), QSize(160, 20));
        QCOMPARE(view()->objectName(), u"ListView1"_s);
        QVERIFY(view()->showGrid());
        QCOMPARE(view()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(view()->font().family(), u"ＭＳ Ｐゴシック"_s);
        QCOMPARE(view()->font().pointSize(), 9);
        QCOMPARE(view()->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(view()->palette().color(QPalette::Base), QColor(Qt::white));
        QHeaderView* header = view()->horizontalHeader();
        QList<int> widths;
        for (int c = 0; c < 4; ++c)
            widths << header->sectionSize(c);
        // The date column as wide as a date needs, at least 60.
        QVERIFY(widths[1] >= 60);
        widths[1] = 60;
        QCOMPARE(widths, (QList<int>{250, 60, 92, 800}));
        // Columns cannot be made narrower than their minimum.
        for (auto [c, minimum] : {std::pair{0, 50}, {1, 60}, {3, 400}}) {
            header->resizeSection(c, 10);
            QCOMPARE(header->sectionSize(c), minimum);
        }
        // The captions show with the window; the rows have no numbers.
        fileListWindow()->show();
        QVERIFY(header->isVisible() && header->height() > 0);
        QVERIFY(!view()->verticalHeader()->isVisible());
        fileListWindow()->hide();

        struct Command {
            const char* name;
            const char16_t* category;
            const char16_t* caption;
            QKeySequence shortcut;
        };
        const Command commands[] = {
            {"ItemAdd", u"リスト操作", u"追加(&A)", QKeySequence(u"Ctrl+A"_s)},
            {"ItemDelete", u"リスト操作", u"削除(&D)", QKeySequence(Qt::Key_Delete)},
            {"ItemDeleteAll", u"リスト操作", u"すべて削除", {}},
            {"ListNew", u"リスト操作", u"リスト新規作成(&N)", QKeySequence(u"Ctrl+N"_s)},
            {"ListOpen", u"リスト操作", u"リスト読込(&L)", QKeySequence(u"Ctrl+L"_s)},
            {"ListSave", u"リスト操作", u"リスト保存(&S)", QKeySequence(u"Ctrl+S"_s)},
            {"SortName", u"Sort", u"ファイル名(&F)", {}},
            {"SortDate", u"Sort", u"更新日(&D)", {}},
            {"SortSize", u"Sort", u"サイズ(&S)", {}},
            {"SortFullPath", u"Sort", u"フルパス(&P)", {}},
            {"ChangeFont", u"Font", u"フォント変更", {}},
            {"ChangeFontColor", u"Font", u"文字色変更", {}},
            {"ChangeBackColor", u"Font", u"背景色変更", {}},
            {"CloseListWindow", u"", u"リストを閉じる(&E)", {}},
        };
        for (const Command& c : commands) {
            QAction* a = listCommand(c.name);
            QVERIFY2(a, c.name);
            QCOMPARE(commandCategory(a), QString::fromUtf16(c.category));
            QCOMPARE(a->text(), QString::fromUtf16(c.caption));
            QCOMPARE(a->shortcut(), c.shortcut);
        }

        auto* popup = fileListWindow()->findChild<QMenu*>(u"PopupMenu1"_s);
        QVERIFY(popup);
        QCOMPARE(entries(popup->actions()),
                 words(u"ItemAdd ItemDelete ItemDeleteAll - ListNew ListOpen ListSave - "
                       u"[ソート種類] - [設定] - CloseListWindow"));
        QCOMPARE(entries(popup->actions()[8]->menu()->actions()),
                 words(u"SortName SortDate SortSize SortFullPath"));
        QCOMPARE(captions(popup->actions()[10]->menu()->actions()),
                 (QStringList{u"フォント変更"_s, u"背景色変更"_s, u"文字色変更"_s}));
    }

    void addingThroughTheDialogAndByDropping() {
        const QString a = makeFile(u"a.txt"_s, 5);
        const QString b = makeFile(u"b.txt"_s, 7);
        const QString gone = path(u"gone.txt"_s);
        start();
        mainWindow()->toggleFileList();

        dialogs_->answerFiles({b, gone, a, b});
        listCommand("ItemAdd")->trigger();
        const FileRequest request = dialogs_->calls().first().file;
        QCOMPARE(request.title, u"リストへ追加するファイルを選択してください"_s);
        QCOMPARE(request.filters.size(), 11);
        QCOMPARE(request.selectedFilter, 9);
        QVERIFY(request.filters[9].startsWith(u"すべてのテキストファイル"_s));
        QVERIFY(request.hideReadOnly);
        QCOMPARE(dialogs_->texts(u"message"_s),
                 (QStringList{gone + u"を見つけられませんでした。\n登録後に他の場所へ移動されたか\n"
                                     u"削除された可能性があります。",
                              b + u"は既にリストに存在します"}));
        QCOMPARE(names(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
        QCOMPARE(column(2), (QStringList{u"5"_s, u"7"_s}));
        QCOMPARE(column(3), (QStringList{a, b}));
        QVERIFY(fileListWindow()->isModified());

        // Cancelling the dialog adds nothing.
        dialogs_->clearCalls();
        dialogs_->answerFiles({});
        listCommand("ItemAdd")->trigger();
        QCOMPARE(dialogs_->kinds(), QStringList{u"openFiles"_s});
        QCOMPARE(names().size(), 2);

        // Dropped files arrive in drop order, each checked; a refused one (another
        // letter case of a listed path) still counts as a change.
        dialogs_->answer(Answer::No);
        fileListWindow()->newList();
        dialogs_->clearCalls();
        QVERIFY(!fileListWindow()->isModified());
        const QString upper = makeFile(u"B.TXT"_s, 9);
        QVERIFY(dropFiles(view()->viewport(), {b, upper, gone}));
        QTRY_COMPARE(dialogs_->texts(u"message"_s).size(), 2);
        QCOMPARE(dialogs_->texts(u"message"_s)[0], upper + u"は既にリストに存在します");
        QVERIFY(dialogs_->texts(u"message"_s)[1].startsWith(gone + u"を見つけられませんでした。"));
        QCOMPARE(names(), QStringList{u"b.txt"_s});
        dialogs_->answer(Answer::No);
        fileListWindow()->newList();
        dialogs_->clearCalls();
        QVERIFY(dropFiles(view()->viewport(), {b}));
        QTRY_VERIFY(fileListWindow()->isModified());
        QVERIFY(dropFiles(fileListWindow(), {b}));
        QTRY_COMPARE(dialogs_->texts(u"message"_s), QStringList{b + u"は既にリストに存在します"});
        QVERIFY(fileListWindow()->isModified());

        // A dropped path is taken whole, however long.
        const QString deep = folder() + QString(200, u'd') + u'/' + QString(200, u'e');
        QVERIFY(QDir().mkpath(deep));
        const QString longFile = deep + u"/" + QString(100, u'f') + u".txt";
        QVERIFY(writeBytes(longFile, "x"));
        QVERIFY(dropFiles(view()->viewport(), {longFile}));
        QTRY_COMPARE(column(3).size(), 2);
        QVERIFY(column(3).contains(longFile));

        // Delete needs a selected entry; Delete All takes everything.
        dialogs_->answer(Answer::No);
        fileListWindow()->newList();
        fileListWindow()->addPaths({a, b});
        view()->clearSelection();
        fileListWindow()->removeSelected();
        QCOMPARE(names().size(), 2);
        selectRow(0);
        QVERIFY(activate(fileListWindow()));
        QTest::keyClick(view(), Qt::Key_Delete);
        QCOMPARE(names(), QStringList{u"b.txt"_s});
        fileListWindow()->removeAll();
        QCOMPARE(names(), QStringList());
    }

    void openingAnEntryInTheMainWindow() {
        const QString doc = path(u"doc.txt"_s);
        QVERIFY(writeText(doc, u"文書"_s));
        const QString gone = makeFile(u"gone.txt"_s);
        start();
        QVERIFY(activate(fileListWindow()));
        fileListWindow()->addPaths({doc, gone});
        QFile::remove(gone);

        // Nothing selected: nothing happens.
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(mainWindow()->documentPath(), u"UnTitledDoc"_s);

        // A double-click opens the entry.
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, rowCenter(0));
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, rowCenter(0));
        QCOMPARE(mainWindow()->documentPath(), doc);
        QCOMPARE(editor()->text(), u"文書"_s);
        QCOMPARE(mainWindow()->windowTitle(), u"QelEditor - doc.txt"_s);

        // Unsaved text is asked about first; Cancel keeps it.
        type(editor(), u"!"_s);
        dialogs_->answer(Answer::Cancel);
        selectRow(0);
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s), QStringList{doc + u"を保存しますか？"});
        QCOMPARE(editor()->text(), u"!文書"_s);
        QVERIFY(mainWindow()->isModified());
        // The release of an Enter pressed elsewhere (a message box) opens nothing.
        QTest::keyRelease(view(), Qt::Key_Return);
        QCOMPARE(dialogs_->calls().size(), 1);
        dialogs_->answer(Answer::No);
        QTest::keyClick(view(), Qt::Key_Enter);
        QCOMPARE(editor()->text(), u"文書"_s);

        // A file that has gone is reported and keeps its entry.
        dialogs_->clearCalls();
        selectRow(1);
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(dialogs_->texts(u"message"_s),
                 QStringList{gone + u"が見つかりません。\n確認をお願いします"});
        QCOMPARE(names().size(), 2);
        QCOMPARE(mainWindow()->documentPath(), doc);
        // A folder of that name is no file either.
        QVERIFY(QDir().mkdir(gone));
        dialogs_->clearCalls();
        QTest::keyClick(view(), Qt::Key_Return);
        QCOMPARE(dialogs_->kinds(), QStringList{u"message"_s});
        QCOMPARE(mainWindow()->documentPath(), doc);
    }

    void sortingByCommandsAndHeaders() {
        const QString big = makeFile(u"a.txt"_s, 10);
        const QString small = makeFile(u"b.txt"_s, 9);
        const QString middle = makeFile(u"C.txt"_s, 9);
        start();
        mainWindow()->toggleFileList();
        fileListWindow()->addPaths({middle, big, small});
        QCOMPARE(names(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"C.txt"_s}));
        dialogs_->answerFile(std::nullopt);
        fileListWindow()->saveList(); // cancelled: saved where it is
        dialogs_->clearCalls();
        QVERIFY(!fileListWindow()->isModified());

        listCommand("SortSize")->trigger();
        QCOMPARE(names(),
                 (QStringList{u"C.txt"_s, u"b.txt"_s, u"a.txt"_s})); // ties keep their order
        QVERIFY(fileListWindow()->isModified());
        // Clicking a header sorts by its column, and again gives the same order.
        QHeaderView* header = view()->horizontalHeader();
        for (int twice = 0; twice < 2; ++twice) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
            QCOMPARE(column(3), (QStringList{big, small, middle}));
        }
        // The selected entry stays selected wherever it goes; new entries take their
        // place by the key in force.
        selectRow(0);
        listCommand("SortSize")->trigger();
        QCOMPARE(view()->selectionModel()->selectedRows().first().row(), 2);
        fileListWindow()->addPaths({makeFile(u"d.txt"_s, 9)});
        QCOMPARE(names(), (QStringList{u"C.txt"_s, u"b.txt"_s, u"d.txt"_s, u"a.txt"_s}));
    }

    void listFilesNewOpenAndSave() {
        const QString a = makeFile(u"a.txt"_s);
        const QString b = makeFile(u"b.txt"_s);
        start();
        QVERIFY(activate(fileListWindow()));
        fileListWindow()->addPaths({a});

        // Cancel to the question of New changes nothing; after saving, New asks nothing.
        dialogs_->answer(Answer::Cancel);
        QTest::keyClick(view(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s),
                 QStringList{newListPath() + u"は変更されています。保存しますか？"});
        QCOMPARE(names(), QStringList{u"a.txt"_s});
        const QString saved = path(u"saved.QelL"_s);
        dialogs_->answerFile(saved);
        listCommand("ListSave")->trigger();
        const FileRequest save = dialogs_->calls().last().file;
        QCOMPARE(save.title, u"ファイルリストの保存"_s);
        QCOMPARE(save.filters.size(), 1);
        QCOMPARE(shownFilter(save.filters[0]), u"QelEditorファイルリスト (*.QelL)"_s);
        QCOMPARE(save.defaultExtension, u"QelL"_s);
        QCOMPARE(save.startFolder, folder());
        QCOMPARE(save.proposedName, newListPath());
        QVERIFY(save.overwritePrompt && save.hideReadOnly);
        QCOMPARE(fileListWindow()->windowTitle(), u"saved.QelL"_s);
        QVERIFY(!fileListWindow()->isModified());
        dialogs_->clearCalls();
        listCommand("ListNew")->trigger();
        QVERIFY(dialogs_->calls().isEmpty());
        QCOMPARE(names(), QStringList());
        QCOMPARE(fileListWindow()->windowTitle(), u"新規リスト"_s);

        // Open: Cancel in the dialog leaves everything; OK reads the list, sorted.
        fileListWindow()->addPaths({b});
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(std::nullopt);
        listCommand("ListOpen")->trigger();
        const FileRequest open = dialogs_->calls().last().file;
        QCOMPARE(open.title, u"ファイルリストの選択"_s);
        QCOMPARE(open.filters, save.filters);
        QCOMPARE(open.startFolder, folder());
        QCOMPARE(open.proposedName, newListPath());
        QCOMPARE(names(), QStringList{u"b.txt"_s});
        QVERIFY(fileListWindow()->isModified());
        dialogs_->answer(Answer::No);
        dialogs_->answerFile(saved);
        listCommand("ListOpen")->trigger();
        QCOMPARE(names(), QStringList{u"a.txt"_s});
        QCOMPARE(fileListWindow()->windowTitle(), u"saved.QelL"_s);
        QCOMPARE(fileListWindow()->listFilePath(), saved);
        QVERIFY(!fileListWindow()->isModified());

        // Cancelling the save dialog writes the list where it is: a new list into the
        // file "新規リスト" of the program folder, its caption unchanged.
        listCommand("ListNew")->trigger();
        fileListWindow()->addPaths({b});
        dialogs_->answerFile(std::nullopt);
        listCommand("ListSave")->trigger();
        QCOMPARE(fileListWindow()->windowTitle(), u"新規リスト"_s);
        {
            const IniFile ini(newListPath());
            QCOMPARE(readListFile(ini).paths, QStringList{b});
        }
        QVERIFY(!fileListWindow()->isModified());
    }

    void lookIsChosenAndKept() {
        start();
        mainWindow()->toggleFileList();
        QFont chosen(u"Chosen Face"_s);
        chosen.setPointSize(14);
        chosen.setBold(true);
        chosen.setUnderline(true); // not offered: stays as it was
        dialogs_->answerFont(FontChoice{chosen, QColor(Qt::red)});
        listCommand("ChangeFont")->trigger();
        QCOMPARE(dialogs_->calls().last().fontRequest.effects, false);
        QCOMPARE(view()->font().family(), u"Chosen Face"_s);
        QVERIFY(view()->font().bold() && !view()->font().underline());
        QCOMPARE(view()->palette().color(QPalette::Text), QColor(Qt::black)); // colour stays
        dialogs_->answerColor(QColor(0x10, 0x20, 0x30));
        listCommand("ChangeFontColor")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::black));
        dialogs_->answerColor(QColor(0x40, 0x50, 0x60));
        listCommand("ChangeBackColor")->trigger();
        QCOMPARE(dialogs_->calls().last().color, QColor(Qt::white));
        QVERIFY(fileListWindow()->isModified());
        view()->horizontalHeader()->resizeSection(1, 77);

        const QString saved = path(u"look.QelL"_s);
        dialogs_->answerFile(saved);
        listCommand("ListSave")->trigger();
        const IniFile ini(saved);
        const ListLook look = readListFile(ini).look;
        QCOMPARE(look.font, u"Chosen Face"_s);
        QCOMPARE(look.fontSize, 14);
        QCOMPARE(look.fontColor, 0x302010);
        QCOMPARE(look.color, 0x605040);
        QCOMPARE(look.columnWidths[1], 77);

        // A new list goes back to the default look, but keeps the style.
        listCommand("ListNew")->trigger();
        QCOMPARE(view()->font().family(), u"ＭＳ Ｐゴシック"_s);
        QVERIFY(view()->font().bold());
        QCOMPARE(view()->horizontalHeader()->sectionSize(0), 250);
        QCOMPARE(view()->palette().color(QPalette::Base), QColor(Qt::white));
        // Read back, the look returns.
        dialogs_->answerFile(saved);
        listCommand("ListOpen")->trigger();
        QCOMPARE(view()->font().pointSize(), 14);
        QCOMPARE(view()->palette().color(QPalette::Base), QColor(0x40, 0x50, 0x60));
    }

    void shortcutsBelongToTheActiveWindow() {
        start();
        QVERIFY(activate(mainWindow()));
        type(editor(), u"abc"_s);
        QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier); // select all, no list dialog
        QCOMPARE(editor()->selLength(), 3);
        QVERIFY(dialogs_->calls().isEmpty());

        QVERIFY(activate(fileListWindow()));
        QVERIFY(view()->hasFocus());
        dialogs_->answerFiles({});
        QTest::keyClick(view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(dialogs_->kinds(), QStringList{u"openFiles"_s});
        dialogs_->answerFile(std::nullopt);
        QTest::keyClick(view(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(dialogs_->calls().last().file.title, u"ファイルリストの選択"_s);
        // Ctrl+N starts a new list; the main window's new document, which would ask
        // about the typed text, does not run.
        fileListWindow()->addPaths({makeFile(u"a.txt"_s)});
        dialogs_->answer(Answer::No);
        QTest::keyClick(view(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s).last(),
                 QString(newListPath() + u"は変更されています。保存しますか？"));
        QCOMPARE(names(), QStringList());
        QCOMPARE(editor()->text(), u"abc"_s);
    }

    void hotTrackingUnderlinesTheRowUnderTheMouse() {
        const QString a = makeFile(u"a.txt"_s);
        start();
        QVERIFY(activate(fileListWindow()));
        fileListWindow()->addPaths({a});
        QWidget* area = view()->viewport();
        const QImage plain = area->grab().toImage();
        QTest::mouseMove(area, rowCenter(0));
        QTRY_COMPARE(area->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(area->grab().toImage() != plain);              // underlined
        QTest::mouseMove(area, QPoint(5, area->height() - 2)); // below the last row
        QTRY_COMPARE(area->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(area->grab().toImage(), plain);
    }

    void closingTheList_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");     // -1: no question
        QTest::addColumn<QString>("saveAs"); // the save dialog's answer after Yes
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("listFile");   // UseListFile after closing
        QTest::addColumn<QStringList>("stored"); // what that file then holds

        const QStringList one{u"a.txt"_s}, two{u"a.txt"_s, u"b.txt"_s};
        QTest::newRow("named, unchanged: written as it is")
            << true << false << -1 << QString() << true << u"mine.QelL"_s << one;
        QTest::newRow("named, changed, Yes") << true << true << int(Answer::Yes) << u"other.QelL"_s
                                             << true << u"other.QelL"_s << two;
        QTest::newRow("named, changed, No: not written")
            << true << true << int(Answer::No) << QString() << true << u"mine.QelL"_s
            << QStringList{u"<none>"_s};
        QTest::newRow("named, changed, Cancel: stays open")
            << true << true << int(Answer::Cancel) << QString() << false << u"mine.QelL"_s
            << QStringList{u"<none>"_s};
        QTest::newRow("new, unchanged") << false << false << -1 << QString() << true
                                        << u"新規リスト"_s << QStringList{u"<none>"_s};
        QTest::newRow("new, changed, No: no second question")
            << false << true << int(Answer::No) << QString() << true << u"新規リスト"_s
            << QStringList{u"<none>"_s};
        QTest::newRow("new, changed, Yes") << false << true << int(Answer::Yes) << u"other.QelL"_s
                                           << true << u"other.QelL"_s << QStringList{u"b.txt"_s};
        QTest::newRow("new, changed, Yes, save dialog cancelled")
            << false << true << int(Answer::Yes) << QString() << true << u"新規リスト"_s
            << QStringList{u"b.txt"_s};
    }

    void closingTheList() {
        QFETCH(bool, named);
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closes);
        QFETCH(QString, listFile);
        QFETCH(QStringList, stored);
        const QString a = makeFile(u"a.txt"_s);
        const QString b = makeFile(u"b.txt"_s);
        if (named)
            namedList({a});
        start();
        fileListWindow()->show();
        if (named)
            QFile::remove(path(u"mine.QelL"_s)); // shows whether closing writes it again
        if (changed)
            fileListWindow()->addPaths({b});
        dialogs_->clearCalls();
        if (answer >= 0)
            dialogs_->answer(Answer(answer));
        if (answer == int(Answer::Yes))
            dialogs_->answerFile(saveAs.isEmpty() ? std::nullopt
                                                  : std::optional<QString>(path(saveAs)));

        QCOMPARE(fileListWindow()->close(), closes);
        QCOMPARE(fileListWindow()->isVisible(), !closes);
        QCOMPARE(dialogs_->kinds().count(u"askYesNoCancel"_s), answer >= 0 ? 1 : 0);
        if (!closes) {
            QCOMPARE(masterValue(u"Visible"), u"1"_s); // nothing written
            QVERIFY(!QFile::exists(path(u"mine.QelL"_s)));
        } else {
            QCOMPARE(masterValue(u"Visible"), u"0"_s);
            QVERIFY(!command("OpenFileList")->isChecked());
            QCOMPARE(command("OpenFileList")->toolTip(), u"ファイルリストを開きます"_s);
        }
        QCOMPARE(masterValue(u"UseListFile"), path(listFile));
        QStringList content{u"<none>"_s};
        if (QFile::exists(path(listFile))) {
            const IniFile ini(path(listFile));
            content.clear();
            for (const QString& p : readListFile(ini).paths)
                content << QFileInfo(p).fileName();
        }
        QCOMPARE(content, stored);

        // A list left unsaved is still changed: exiting asks once more.
        dialogs_->clearCalls();
        if (answer == int(Answer::No) || answer == int(Answer::Cancel))
            dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(dialogs_->kinds().count(u"askYesNoCancel"_s),
                 answer == int(Answer::No) || answer == int(Answer::Cancel) ? 1 : 0);
    }

    void aFailedSaveChangesNothingButTheMessage() {
        const QString a = makeFile(u"a.txt"_s);
        const QString b = makeFile(u"b.txt"_s);
        const QString list = namedList({a});
        makeFile(u"plain"_s); // a file where the folder would be
        start();
        fileListWindow()->addPaths({b});
        dialogs_->clearCalls();
        const QString target = path(u"plain/x.QelL"_s);
        dialogs_->answerFile(target);
        listCommand("ListSave")->trigger();
        const QStringList shown = dialogs_->texts(u"showException"_s);
        QCOMPARE(shown.size(), 1);
        const QString lead = target + u"に書き込めませんでした。\n";
        QVERIFY2(shown[0].startsWith(lead) && shown[0].size() > lead.size(), qPrintable(shown[0]));
        QCOMPARE(fileListWindow()->windowTitle(), u"mine.QelL"_s);
        QCOMPARE(fileListWindow()->listFilePath(), list);
        QVERIFY(fileListWindow()->isModified());

        // The list is still the user's: exiting asks about it, and the next start
        // finds it.
        dialogs_->clearCalls();
        dialogs_->answer(Answer::No);
        QVERIFY(exitProgram());
        QCOMPARE(dialogs_->texts(u"askYesNoCancel"_s),
                 QStringList{list + u"は変更されています。保存しますか？"});
        QCOMPARE(masterValue(u"UseListFile"), list);
        dialogs_->clearCalls();
        start();
        QVERIFY(dialogs_->calls().isEmpty());
        QCOMPARE(fileListWindow()->windowTitle(), u"mine.QelL"_s);
        QCOMPARE(column(3), QStringList{a});
    }

    // A folder of listed files that is away for a while (an unplugged drive).
    void entriesNotFoundStayInTheListFileUntilTheListIsChanged() {
        QVERIFY(QDir(folder()).mkdir(u"drive"_s));
        QStringList away;
        for (const char16_t* name : {u"drive/c.txt", u"drive/a.txt", u"drive/b.txt"})
            away << makeFile(QString::fromUtf16(name));
        const QString here = makeFile(u"here.txt"_s);
        const QString list = namedList({away[0], here, away[1], away[2]});
        QVERIFY(QDir(folder()).rename(u"drive"_s, u"unplugged"_s));
        start();
        QCOMPARE(column(3), QStringList{here});
        // One message for all of them.
        QCOMPARE(dialogs_->texts(u"message"_s),
                 QStringList{u"次の 3 個のファイルを見つけられませんでした。\n"
                             u"登録後に他の場所へ移動されたか\n削除された可能性があります。\n\n"_s +
                             away.join(u'\n')});
        QVERIFY(exitProgram()); // nothing asked: the list is unchanged
        {
            const IniFile ini(list);
            QCOMPARE(readListFile(ini).paths, QStringList({here}) + away);
        }

        // Back in place, they are all there again.
        QVERIFY(QDir(folder()).rename(u"unplugged"_s, u"drive"_s));
        dialogs_->clearCalls();
        start();
        QVERIFY(dialogs_->calls().isEmpty());
        QCOMPARE(names(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"here.txt"_s}));

        // Away again; once the user has changed the list (here by sorting it), saving
        // it keeps only what is shown.
        QVERIFY(QDir(folder()).rename(u"drive"_s, u"unplugged"_s));
        start();
        QCOMPARE(fileListWindow()->keptMissingEntries().size(), 3);
        listCommand("SortFullPath")->trigger();
        QVERIFY(fileListWindow()->keptMissingEntries().isEmpty());
        dialogs_->clearCalls();
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(std::nullopt); // saved where it is
        QVERIFY(exitProgram());
        const IniFile ini(list);
        QCOMPARE(readListFile(ini).paths, QStringList{here});
    }

    void homeAndEndSelectAndLeftAndRightScroll() {
        QStringList files;
        for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"})
            files << makeFile(QString::fromUtf16(name));
        start();
        QVERIFY(activate(fileListWindow()));
        fileListWindow()->resize(300, 200);
        fileListWindow()->addPaths(files);
        selectRow(1);
        QScrollBar* sideways = view()->horizontalScrollBar();
        const auto selected = [this] {
            const QModelIndexList rows = view()->selectionModel()->selectedRows();
            return rows.size() == 1 ? rows.first().row() : -1;
        };
        QTest::keyClick(view(), Qt::Key_End);
        QCOMPARE(selected(), 2);
        QCOMPARE(sideways->value(), 0);
        QTest::keyClick(view(), Qt::Key_Home);
        QCOMPARE(selected(), 0);
        QTest::keyClick(view(), Qt::Key_Right);
        QTest::keyClick(view(), Qt::Key_Right);
        const int scrolled = sideways->value();
        QVERIFY(scrolled > 0);
        QCOMPARE(selected(), 0);
        // Moving between rows keeps the list where it was scrolled to.
        QTest::keyClick(view(), Qt::Key_Down);
        QCOMPARE(selected(), 1);
        QCOMPARE(sideways->value(), scrolled);
        QTest::keyClick(view(), Qt::Key_Left);
        QVERIFY(sideways->value() < scrolled);
        QCOMPARE(selected(), 1);

        // The focus frame goes round the row, not round one cell.
        sideways->setValue(0);
        QVERIFY(view()->hasFocus());
        const QRect frame = focusFrame(1);
        const QRect row = view()->visualRect(fileListWindow()->list().index(1, 0));
        QVERIFY2(frame.left() <= row.left() + 2 && frame.right() >= view()->viewport()->width() - 3,
                 qPrintable(u"frame %1..%2, view %3"_s.arg(frame.left())
                                .arg(frame.right())
                                .arg(view()->viewport()->width())));
        QVERIFY(frame.top() >= row.top() - 1 && frame.bottom() <= row.bottom() + 1);
    }

    void theDateColumnFitsADateUnlessAWidthIsStored_data() {
        QTest::addColumn<QString>("stored"); // Items1Width, empty: none
        QTest::addColumn<int>("width");      // 0: as wide as the dates need
        const struct {
            const char* name;
            const char16_t* stored;
            int width;
        } rows[] = {{"none stored", u"", 0},
                    {"no number", u"wide", 0},
                    {"60 stored", u"60", 60},
                    {"narrower than the least", u"20", 60},
                    {"wider stored", u"300", 300}};
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromUtf16(row.stored) << row.width;
    }

    void theDateColumnFitsADateUnlessAWidthIsStored() {
        QFETCH(QString, stored);
        QFETCH(int, width);
        const QString file = makeFile(u"a.txt"_s);
        const QString list = namedList({});
        QString section = u"[List]\nFontSize=20\nCount=1\nItem0="_s + file + u'\n';
        if (!stored.isEmpty())
            section += u"Items1Width="_s + stored + u'\n';
        QVERIFY(writeText(list, section));
        start();
        QCOMPARE(view()->font().pointSize(), 20);
        const int shown = view()->horizontalHeader()->sectionSize(1);
        const int needed = static_cast<QAbstractItemView*>(view())->sizeHintForColumn(1);
        if (width > 0) {
            QCOMPARE(shown, width);
            return;
        }
        QVERIFY2(shown >= needed, qPrintable(u"%1 < %2"_s.arg(shown).arg(needed)));
        // Once written, it is a stored width like any other.
        QVERIFY(exitProgram());
        const IniFile ini(list);
        QCOMPARE(readListFile(ini).look.columnWidths[1], shown);
    }

    void startUpReadsTheNamedList() {
        const QString b = makeFile(u"b.txt"_s);
        const QString a = makeFile(u"A.txt"_s);
        const QString list = namedList({b, path(u"gone.txt"_s), a});
        {
            IniFile master(path(u"QelEditor.ini"_s));
            master.writeInteger(u"FileList", u"Left", 40);
            master.writeInteger(u"FileList", u"Top", 30);
            master.writeInteger(u"FileList", u"Width", 400);
            master.writeInteger(u"FileList", u"Height", 300);
        }
        start();
        QVERIFY(fileListWindow()->isVisible());
        QVERIFY(command("OpenFileList")->isChecked());
        QCOMPARE(command("OpenFileList")->toolTip(), u"ファイルリストを閉じます"_s);
        QCOMPARE(outerGeometry(fileListWindow()), QRect(40, 30, 400, 300));
        QCOMPARE(fileListWindow()->windowTitle(), u"mine.QelL"_s);
        // In name order, whatever the file's order; the missing one reported and left out.
        QCOMPARE(names(), (QStringList{u"A.txt"_s, u"b.txt"_s}));
        QCOMPARE(dialogs_->kinds(), QStringList{u"message"_s});
        QVERIFY(dialogs_->texts(u"message"_s)[0].startsWith(path(u"gone.txt"_s) + u"を見"));
        QVERIFY(!fileListWindow()->isModified());

        // A huge Count does not flood the user.
        {
            IniFile ini(list);
            ini.writeInteger(u"List", u"Count", 2147483647);
        }
        dialogs_->clearCalls();
        start();
        QCOMPARE(names(), (QStringList{u"A.txt"_s, u"b.txt"_s}));
        QCOMPARE(dialogs_->texts(u"message"_s).size(), 1);

        // A named list that has gone falls back to the default list, with a message.
        QVERIFY(QFile::remove(list));
        {
            IniFile def(path(u"default.QelL"_s));
            writeListFile(def, ListLook(), {a});
        }
        dialogs_->clearCalls();
        start();
        QCOMPARE(dialogs_->texts(u"message"_s),
                 QStringList{
                     u"設定で指定されたファイルが存在しないので\n「default.QelL」を使用します"_s});
        QCOMPARE(fileListWindow()->listFilePath(), path(u"default.QelL"_s));
        QCOMPARE(names(), QStringList{u"A.txt"_s});
        // A missing default list gives an empty list without a word.
        QVERIFY(QFile::remove(path(u"default.QelL"_s)));
        {
            IniFile master(path(u"QelEditor.ini"_s));
            master.writeString(u"FileList", u"UseListFile", path(u"default.QelL"_s));
        }
        dialogs_->clearCalls();
        start();
        QVERIFY(dialogs_->calls().isEmpty());
        QCOMPARE(names(), QStringList());
    }

    void exitStoresTheListAfterTheSubWindows() {
        const QString a = makeFile(u"a.txt"_s);
        start();
        mainWindow()->toggleFileList();
        placeWindow(fileListWindow(), QRect(60, 70, 350, 250));
        fileListWindow()->addPaths({a});

        // Cancel to the list's question keeps the program running.
        dialogs_->answer(Answer::Cancel);
        QVERIFY(!mainWindow()->close());
        QVERIFY(fileListWindow() && fileListWindow()->isVisible());
        QVERIFY(!QFile::exists(path(u"QelEditor.ini"_s)));

        const QString saved = path(u"kept.QelL"_s);
        dialogs_->answer(Answer::Yes);
        dialogs_->answerFile(saved);
        QVERIFY(exitProgram());
        const QByteArray master = readFile(path(u"QelEditor.ini"_s));
        QVERIFY(master.contains(
            cp932::encode(u"[FileList]\nTop=70\nLeft=60\nHeight=250\nWidth=350\nVisible=1\n"
                          u"UseListFile=%1\n"_s.arg(saved))));
        QVERIFY(master.indexOf("Sub3=") < master.indexOf("[FileList]"));

        // The next start finds the list where it was left.
        start();
        QVERIFY(fileListWindow()->isVisible());
        QCOMPARE(outerGeometry(fileListWindow()), QRect(60, 70, 350, 250));
        QCOMPARE(column(3), QStringList{a});
        QVERIFY(dialogs_->texts(u"message"_s).isEmpty());
    }
};

QTEST_MAIN(FileListWindowTest)
#include "FileListWindowTest.moc"

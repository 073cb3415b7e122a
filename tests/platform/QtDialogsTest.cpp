// The real dialogs, opened on the offscreen platform and answered from a timer inside
// their own event loops, the way a user would answer them.

#include "platform/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace qel;

namespace {

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QPushButton* dialogButton(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
    return box ? box->button(which) : nullptr;
}

// What the user types into the name box.
void typeName(QFileDialog* dialog, const QString& text) {
    auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
    QVERIFY(name);
    name->setText(text);
}

// What the Open or Save button does.
void acceptFiles(QFileDialog* dialog) {
    static_cast<QDialog*>(dialog)->accept();
}

void click(QMessageBox* box, QMessageBox::StandardButton which) {
    if (QAbstractButton* button = box->button(which))
        button->click();
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void messageIsCaptionedWithTheApplicationTitle();
    void askYesNoCancel_data();
    void askYesNoCancel();
    void exceptionIsShownAsAnError();

    void openFileIsSetUpFromTheRequest();
    void openFileThatNeedNotExistGetsTheDefaultExtension();
    void cancelledFileDialogsGiveNothing();
    void openFilesReturnsEverySelectedFile();
    void saveFileAsksBeforeReplacingOnlyWhenRequested_data();
    void saveFileAsksBeforeReplacingOnlyWhenRequested();
    void saveFileIntoAMissingFolderIsRefusedAndAskedAgain();

    void fontSizeOutsideTheLimitsIsRefusedAndAskedAgain();
    void fontWithoutEffectsOffersNoColour();
    void escapeInTheFontListCancelsTheWholeDialog();
    void cancelledFontDialogForgetsThePickedColour();
    void chooseColorStartsFromTheGivenColour();

    void printOffersPrintToFileOnlyWhenAsked_data();
    void printOffersPrintToFileOnlyWhenAsked();
    void printerSetupReportsTheChoice();

private:
    // Runs `act` on the next visible modal window other than `previous`, from inside
    // that window's event loop. Gives up after five seconds.
    void whenModal(std::function<void(QWidget*)> act, QWidget* previous = nullptr);

    std::unique_ptr<QObject> scope_; // owns the pending watchers of one test
    bool stuck_ = false;
};

void QtDialogsTest::whenModal(std::function<void(QWidget*)> act, QWidget* previous) {
    auto* timer = new QTimer(scope_.get());
    timer->setInterval(10);
    connect(timer, &QTimer::timeout, timer,
            [timer, act = std::move(act), skip = QPointer<QWidget>(previous),
             deadline = QDeadlineTimer(5000)] {
                QWidget* modal = QApplication::activeModalWidget();
                const bool ready = modal && modal != skip && modal->isVisible();
                if (!ready && !deadline.hasExpired())
                    return;
                timer->stop();
                timer->deleteLater();
                if (ready)
                    act(modal);
            });
    timer->start();
}

void QtDialogsTest::init() {
    scope_ = std::make_unique<QObject>();
    stuck_ = false;
    // A dialog the test failed to close would block forever; close it and fail.
    auto* watchdog = new QTimer(scope_.get());
    watchdog->setInterval(20000);
    connect(watchdog, &QTimer::timeout, watchdog, [this] {
        for (int i = 0; i < 10; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                break;
            stuck_ = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    watchdog->start();
}

void QtDialogsTest::cleanup() {
    scope_.reset();
    QVERIFY2(!stuck_, "a dialog stayed open");
    QVERIFY(!QApplication::activeModalWidget());
}

// --- message boxes ---

void QtDialogsTest::messageIsCaptionedWithTheApplicationTitle() {
    QCOMPARE(applicationTitle(), u"QelEditor130"_s);
    setApplicationTitle(u"テスト用エディタ"_s);
    const QString displayName = QGuiApplication::applicationDisplayName();

    QString caption, text;
    QMessageBox::StandardButtons buttons;
    whenModal([&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box)
            return window->close(), void();
        caption = box->windowTitle();
        text = box->text();
        buttons = box->standardButtons();
        click(box, QMessageBox::Ok);
    });
    QtDialogs().message(u"置換を終了しました。"_s);
    setApplicationTitle(u"QelEditor130"_s);

    QCOMPARE(caption, u"テスト用エディタ"_s);
    QCOMPARE(text, u"置換を終了しました。"_s);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Window captions are left alone.
    QCOMPARE(QGuiApplication::applicationDisplayName(), displayName);
}

void QtDialogsTest::askYesNoCancel_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("yes") << u"yes"_s << Answer::Yes;
    QTest::newRow("no") << u"no"_s << Answer::No;
    QTest::newRow("cancel") << u"cancel"_s << Answer::Cancel;
    QTest::newRow("escape key") << u"escape"_s << Answer::Cancel;
    QTest::newRow("window closed") << u"close"_s << Answer::Cancel;
}

void QtDialogsTest::askYesNoCancel() {
    QFETCH(QString, how);
    QFETCH(Answer, expected);

    QString caption, text;
    whenModal([&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box)
            return window->close(), void();
        caption = box->windowTitle();
        text = box->text();
        if (how == u"yes")
            click(box, QMessageBox::Yes);
        else if (how == u"no")
            click(box, QMessageBox::No);
        else if (how == u"cancel")
            click(box, QMessageBox::Cancel);
        else if (how == u"escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
    });
    const Answer answer = QtDialogs().askYesNoCancel(u"変更を保存しますか?"_s);

    QCOMPARE(answer, expected);
    QCOMPARE(caption, applicationTitle());
    QCOMPARE(text, u"変更を保存しますか?"_s);
}

void QtDialogsTest::exceptionIsShownAsAnError() {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box)
            return window->close(), void();
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        click(box, QMessageBox::Ok);
    });
    QtDialogs().showException(u"メモリが不足しています。"_s);

    QCOMPARE(caption, applicationTitle());
    QCOMPARE(text, u"メモリが不足しています。"_s);
    QCOMPARE(icon, QMessageBox::Critical);
}

// --- file dialogs ---

void QtDialogsTest::openFileIsSetUpFromTheRequest() {
    QTemporaryDir dir;
    touch(dir.filePath(u"メモ.txt"_s));
    touch(dir.filePath(u"b.log"_s));

    FileRequest request;
    request.title = u"開く"_s;
    request.filters = QStringList{u"テキスト文書 (*.txt)"_s, u"すべてのファイル (*)"_s};
    request.selectedFilter = 1;
    request.startFolder = dir.path();
    request.proposedName = u"メモ.txt"_s;
    request.fileMustExist = true;

    QString title, filter, folder;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::Directory;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog)
            return window->close(), void();
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        filter = dialog->selectedNameFilter();
        folder = dialog->directory().absolutePath();
        mode = dialog->fileMode();
        accept = dialog->acceptMode();
        acceptFiles(dialog); // the proposed name as it stands
    });
    const std::optional<QString> chosen = QtDialogs().openFile(request);

    QCOMPARE(title, u"開く"_s);
    QCOMPARE(filters, request.filters);
    // The pattern details stay out of sight: the user reads the description only.
    QCOMPARE(filter, u"すべてのファイル"_s);
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(accept, QFileDialog::AcceptOpen);
    QVERIFY(chosen);
    QCOMPARE(*chosen, dir.filePath(u"メモ.txt"_s));
}

void QtDialogsTest::openFileThatNeedNotExistGetsTheDefaultExtension() {
    QTemporaryDir dir;
    FileRequest request;
    request.startFolder = dir.path();
    request.defaultExtension = u"txt"_s;

    QFileDialog::FileMode mode = QFileDialog::Directory;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog)
            return window->close(), void();
        mode = dialog->fileMode();
        typeName(dialog, u"新規"_s);
        acceptFiles(dialog);
    });
    const std::optional<QString> chosen = QtDialogs().openFile(request);

    QCOMPARE(mode, QFileDialog::AnyFile);
    QVERIFY(chosen);
    QCOMPARE(*chosen, dir.filePath(u"新規.txt"_s));
}

void QtDialogsTest::cancelledFileDialogsGiveNothing() {
    const auto cancel = [](QWidget* window) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
    };
    QtDialogs service;
    whenModal(cancel);
    QVERIFY(!service.openFile({}));
    whenModal(cancel);
    QVERIFY(service.openFiles({}).isEmpty());
    whenModal(cancel);
    QVERIFY(!service.saveFile({}));
}

void QtDialogsTest::openFilesReturnsEverySelectedFile() {
    QTemporaryDir dir;
    touch(dir.filePath(u"一.txt"_s));
    touch(dir.filePath(u"二.txt"_s));
    touch(dir.filePath(u"三.txt"_s));
    FileRequest request;
    request.startFolder = dir.path();
    request.fileMustExist = true;

    QFileDialog::FileMode mode = QFileDialog::Directory;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog)
            return window->close(), void();
        mode = dialog->fileMode();
        typeName(dialog, u"\"一.txt\" \"三.txt\""_s);
        acceptFiles(dialog);
    });
    QStringList chosen = QtDialogs().openFiles(request);
    chosen.sort();

    QCOMPARE(mode, QFileDialog::ExistingFiles);
    QCOMPARE(chosen, (QStringList{dir.filePath(u"一.txt"_s), dir.filePath(u"三.txt"_s)}));
}

void QtDialogsTest::saveFileAsksBeforeReplacingOnlyWhenRequested_data() {
    QTest::addColumn<bool>("prompt");
    QTest::newRow("prompt") << true;
    QTest::newRow("no prompt") << false;
}

void QtDialogsTest::saveFileAsksBeforeReplacingOnlyWhenRequested() {
    QFETCH(bool, prompt);
    QTemporaryDir dir;
    touch(dir.filePath(u"報告.txt"_s));
    FileRequest request;
    request.title = u"名前を付けて保存"_s;
    request.startFolder = dir.path();
    request.defaultExtension = u"txt"_s;
    request.overwritePrompt = prompt;

    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
    bool asked = false;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog)
            return window->close(), void();
        accept = dialog->acceptMode();
        whenModal(
            [&](QWidget* question) {
                asked = true;
                if (auto* box = qobject_cast<QMessageBox*>(question))
                    click(box, QMessageBox::Yes);
            },
            dialog);
        typeName(dialog, u"報告"_s); // the extension comes from the request
        acceptFiles(dialog);
    });
    const std::optional<QString> chosen = QtDialogs().saveFile(request);

    QCOMPARE(accept, QFileDialog::AcceptSave);
    QCOMPARE(asked, prompt);
    QVERIFY(chosen);
    QCOMPARE(*chosen, dir.filePath(u"報告.txt"_s));
}

void QtDialogsTest::saveFileIntoAMissingFolderIsRefusedAndAskedAgain() {
    QTemporaryDir dir;
    FileRequest request;
    request.title = u"名前を付けて保存"_s;
    request.startFolder = dir.path();
    request.pathMustExist = true;
    const QString missing = dir.filePath(u"ない/フォルダー"_s);

    QString warning, secondTitle, secondName;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog)
            return window->close(), void();
        whenModal(
            [&](QWidget* box) {
                if (auto* message = qobject_cast<QMessageBox*>(box))
                    warning = message->text();
                whenModal(
                    [&](QWidget* again) {
                        secondTitle = again->windowTitle();
                        if (auto* edit = again->findChild<QLineEdit*>(u"fileNameEdit"_s))
                            secondName = edit->text();
                        if (auto* second = qobject_cast<QDialog*>(again))
                            second->reject();
                    },
                    box);
                box->close();
            },
            dialog);
        typeName(dialog, missing + u"/a.txt");
        acceptFiles(dialog);
    });
    const std::optional<QString> chosen = QtDialogs().saveFile(request);

    QVERIFY(!chosen);
    QVERIFY2(warning.contains(QDir::toNativeSeparators(missing)), qPrintable(warning));
    QCOMPARE(secondTitle, u"名前を付けて保存"_s);
    QCOMPARE(secondName, u"a.txt"_s);
}

// --- font and colour ---

void QtDialogsTest::fontSizeOutsideTheLimitsIsRefusedAndAskedAgain() {
    const FontChoice initial{QFont(QApplication::font().family(), 10), Qt::black};
    const FontRequest limits{.minSize = 8, .maxSize = 12, .effects = true};

    QString warning;
    whenModal([&](QWidget* window) {
        auto* fonts = window->findChild<QFontDialog*>();
        QPushButton* ok = dialogButton(window, QDialogButtonBox::Ok);
        if (!fonts || !ok)
            return window->close(), void();
        QFont large = fonts->currentFont();
        large.setPointSize(20);
        fonts->setCurrentFont(large);

        whenModal(
            [&](QWidget* box) {
                if (auto* message = qobject_cast<QMessageBox*>(box))
                    warning = message->text();
                // Still open for another choice: a size within limits, and a colour.
                whenModal(
                    [this](QWidget* again) {
                        auto* fonts = again->findChild<QFontDialog*>();
                        QPushButton* ok = dialogButton(again, QDialogButtonBox::Ok);
                        if (!fonts || !ok)
                            return again->close(), void();
                        QFont fine = fonts->currentFont();
                        fine.setPointSize(11);
                        fonts->setCurrentFont(fine);
                        whenModal(
                            [](QWidget* picker) {
                                if (auto* colors = qobject_cast<QColorDialog*>(picker)) {
                                    colors->setCurrentColor(Qt::darkRed);
                                    colors->accept();
                                }
                            },
                            again);
                        if (auto* color = again->findChild<QPushButton*>(u"colorButton"_s))
                            color->click();
                        ok->click();
                    },
                    box);
                box->close();
            },
            window);
        ok->click();
    });
    const std::optional<FontChoice> chosen = QtDialogs().chooseFont(initial, limits);

    QVERIFY2(warning.contains(u"8"_s) && warning.contains(u"12"_s), qPrintable(warning));
    QVERIFY(chosen);
    QCOMPARE(chosen->font.pointSize(), 11);
    QCOMPARE(chosen->color, QColor(Qt::darkRed));
}

void QtDialogsTest::fontWithoutEffectsOffersNoColour() {
    QFont font(QApplication::font().family(), 10);
    font.setUnderline(true);
    const FontChoice initial{font, Qt::blue};

    bool colorOffered = true;
    int effectBoxesShown = -1;
    whenModal([&](QWidget* window) {
        auto* color = window->findChild<QPushButton*>(u"colorButton"_s);
        QPushButton* ok = dialogButton(window, QDialogButtonBox::Ok);
        if (!color || !ok)
            return window->close(), void();
        colorOffered = color->isVisibleTo(window);
        effectBoxesShown = 0;
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            effectBoxesShown += box->isVisibleTo(window) ? 1 : 0;
        ok->click();
    });
    const std::optional<FontChoice> chosen =
        QtDialogs().chooseFont(initial, FontRequest{.effects = false});

    QVERIFY(!colorOffered);
    QCOMPARE(effectBoxesShown, 0);
    QVERIFY(chosen);
    QCOMPARE(chosen->color, QColor(Qt::blue));
    QVERIFY(chosen->font.underline());
    QCOMPARE(chosen->font.pointSize(), 10);
}

void QtDialogsTest::escapeInTheFontListCancelsTheWholeDialog() {
    whenModal([&](QWidget* window) {
        auto* fonts = window->findChild<QFontDialog*>();
        if (!fonts)
            return window->close(), void();
        QWidget* list = fonts->findChild<QListView*>();
        QTest::keyClick(list ? list : fonts, Qt::Key_Escape);
    });
    const FontChoice initial{QApplication::font(), Qt::black};
    QVERIFY(!QtDialogs().chooseFont(initial, {}));
}

void QtDialogsTest::cancelledFontDialogForgetsThePickedColour() {
    whenModal([&](QWidget* window) {
        auto* color = window->findChild<QPushButton*>(u"colorButton"_s);
        QPushButton* cancel = dialogButton(window, QDialogButtonBox::Cancel);
        if (!color || !cancel)
            return window->close(), void();
        whenModal(
            [](QWidget* picker) {
                if (auto* colors = qobject_cast<QColorDialog*>(picker)) {
                    colors->setCurrentColor(Qt::green);
                    colors->accept();
                }
            },
            window);
        color->click();
        cancel->click();
    });
    const FontChoice initial{QApplication::font(), Qt::black};
    QVERIFY(!QtDialogs().chooseFont(initial, {}));
}

void QtDialogsTest::chooseColorStartsFromTheGivenColour() {
    QColor shown;
    whenModal([&](QWidget* window) {
        auto* colors = qobject_cast<QColorDialog*>(window);
        if (!colors)
            return window->close(), void();
        shown = colors->currentColor();
        colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
        colors->accept();
    });
    const std::optional<QColor> chosen = QtDialogs().chooseColor(QColor(Qt::magenta));

    QCOMPARE(shown, QColor(Qt::magenta));
    QVERIFY(chosen);
    QCOMPARE(*chosen, QColor(0x12, 0x34, 0x56));
}

// --- printing ---

void QtDialogsTest::printOffersPrintToFileOnlyWhenAsked_data() {
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("checked");
    QTest::newRow("hidden") << false << false;
    QTest::newRow("shown") << true << false;
    QTest::newRow("shown and checked") << true << true;
}

void QtDialogsTest::printOffersPrintToFileOnlyWhenAsked() {
    QFETCH(bool, shown);
    QFETCH(bool, checked);
    QPrinter printer;
    printer.setDocName(u"議事録.txt"_s);

    bool fileOffered = !shown;
    QString fileBox;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    whenModal([&](QWidget* window) {
        auto* dialog = qobject_cast<QPrintDialog*>(window);
        auto* printers = window->findChild<QComboBox*>(u"printers"_s);
        auto* file = window->findChild<QLineEdit*>(u"filename"_s);
        if (!dialog || !printers || !file)
            return window->close(), void();
        fileOffered = printers->findText(u"Print to File"_s, Qt::MatchContains) >= 0;
        fileBox = file->text();
        format = dialog->printer()->outputFormat();
        dialog->reject();
    });
    const bool accepted = QtDialogs().print(printer, {shown, checked});

    QVERIFY(!accepted);
    QCOMPARE(fileOffered, shown);
    if (checked) {
        QCOMPARE(format, QPrinter::PdfFormat);
        QVERIFY2(fileBox.endsWith(u"/議事録.pdf"_s), qPrintable(fileBox));
        QVERIFY(QFileInfo(fileBox).absoluteDir().exists());
    } else {
        QVERIFY(printer.outputFileName().isEmpty());
    }
}

void QtDialogsTest::printerSetupReportsTheChoice() {
    QPrinter printer;
    bool wasPageSetup = false;
    whenModal([&](QWidget* window) {
        wasPageSetup = qobject_cast<QPageSetupDialog*>(window) != nullptr;
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->accept();
    });
    QVERIFY(QtDialogs().printerSetup(printer));
    QVERIFY(wasPageSetup);

    whenModal([](QWidget* window) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
    });
    QVERIFY(!QtDialogs().printerSetup(printer));
}

QTEST_MAIN(QtDialogsTest)

#include "QtDialogsTest.moc"

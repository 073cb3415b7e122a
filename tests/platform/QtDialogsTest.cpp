// The real dialogs, opened on the offscreen platform and answered from a timer inside
// their own event loops, the way a user would answer them.

#include "platform/QtDialogs.h"
#include "platform/Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
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

// What the user types into the name box, then the Open or Save button.
void typeNameAndAccept(QFileDialog* dialog, const QString& text) {
    if (auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s))
        name->setText(text);
    static_cast<QDialog*>(dialog)->accept();
}

void pickColour(QColorDialog* picker, QColor colour) {
    picker->setCurrentColor(colour);
    picker->accept();
}

void setPointSize(QDialog* dialog, int size) {
    auto* fonts = dialog->findChild<QFontDialog*>();
    QFont font = fonts->currentFont();
    font.setPointSize(size);
    fonts->setCurrentFont(font);
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QObject> scope_; // owns the pending watchers of one test
    bool stuck_ = false;

    // The height of the font dialog's sample text: the line edit of the group that
    // holds no check boxes.
    static int sampleHeight(QDialog* window) {
        for (QGroupBox* group : window->findChildren<QGroupBox*>())
            if (group->findChildren<QCheckBox*>().isEmpty())
                for (QLineEdit* sample : group->findChildren<QLineEdit*>())
                    return sample->height();
        return -1;
    }

    // Runs `act` on the next visible modal window other than `previous`, from inside
    // that window's event loop; a window that is no T is closed instead. Gives up
    // after five seconds.
    template <typename T> void whenModal(std::function<void(T*)> act, QWidget* previous = nullptr) {
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
                    if (!ready)
                        return;
                    if (T* window = qobject_cast<T*>(modal))
                        act(window);
                    else
                        modal->close();
                });
        timer->start();
    }

private Q_SLOTS:
    void init() {
        scope_ = std::make_unique<QObject>();
        stuck_ = false;
        // A dialog the test failed to close would block forever; close it and fail.
        auto* watchdog = new QTimer(scope_.get());
        connect(watchdog, &QTimer::timeout, watchdog, [this] {
            for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
                stuck_ = true;
                QApplication::activeModalWidget()->close();
            }
        });
        watchdog->start(20000);
    }

    void cleanup() {
        scope_.reset();
        QVERIFY2(!stuck_, "a dialog stayed open");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void messagesAreCaptionedWithTheApplicationTitle() {
        QCOMPARE(applicationTitle(), u"QelEditor130"_s);
        setApplicationTitle(u"テスト用エディタ"_s);
        const QString displayName = QGuiApplication::applicationDisplayName();
        QStringList seen;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        const auto readAndConfirm = [&](QMessageBox* box) {
            seen = QStringList{box->windowTitle(), box->text()};
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        };
        whenModal<QMessageBox>(readAndConfirm);
        QtDialogs().message(u"置換を終了しました。"_s);
        QCOMPARE(seen, (QStringList{u"テスト用エディタ"_s, u"置換を終了しました。"_s}));
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        whenModal<QMessageBox>(readAndConfirm);
        QtDialogs().showException(u"メモリが不足しています。"_s);
        setApplicationTitle(u"QelEditor130"_s);
        QCOMPARE(seen, (QStringList{u"テスト用エディタ"_s, u"メモリが不足しています。"_s}));
        QCOMPARE(icon, QMessageBox::Critical);
        // Window captions are left alone.
        QCOMPARE(QGuiApplication::applicationDisplayName(), displayName);
    }

    // Qt's own texts follow the interface into Japanese, whatever the locale; the
    // program's own texts are untouched.
    void platformTextsAreJapanese() {
        QVERIFY(installJapaneseQtTexts(*qApp));
        QStringList buttons;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                buttons << box->button(b)->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(QtDialogs().askYesNoCancel(u"変更を保存しますか?"_s), Answer::Cancel);
        QCOMPARE(buttons, (QStringList{u"はい(&Y)"_s, u"いいえ(&N)"_s, u"キャンセル"_s}));

        QTemporaryDir dir;
        touch(dir.filePath(u"報告.txt"_s));
        FileRequest request;
        request.startFolder = dir.path();
        request.overwritePrompt = true;
        QString accept, question;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            accept = dialog->labelText(QFileDialog::Accept);
            whenModal<QMessageBox>(
                [&](QMessageBox* box) {
                    question = box->text();
                    box->button(QMessageBox::No)->click();
                },
                dialog);
            typeNameAndAccept(dialog, u"報告.txt"_s);
            QTimer::singleShot(500, dialog, &QFileDialog::reject);
        });
        QtDialogs().saveFile(request);
        // The other tests find Qt's controls by their English texts.
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
            qApp->removeTranslator(t);
            delete t;
        }
        QCOMPARE(accept, u"保存(&S)"_s);
        QVERIFY2(question.contains(u"既に存在します"_s), qPrintable(question));
    }

    void askYesNoCancel_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<Answer>("expected");
        QTest::newRow("yes") << u"yes"_s << Answer::Yes;
        QTest::newRow("no") << u"no"_s << Answer::No;
        QTest::newRow("cancel") << u"cancel"_s << Answer::Cancel;
        QTest::newRow("escape key") << u"escape"_s << Answer::Cancel;
        QTest::newRow("window closed") << u"close"_s << Answer::Cancel;
    }

    void askYesNoCancel() {
        QFETCH(QString, how);
        QFETCH(Answer, expected);
        QString caption, text;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            if (how == u"escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == u"close")
                box->close();
            else
                box->button(how == u"yes"  ? QMessageBox::Yes
                            : how == u"no" ? QMessageBox::No
                                           : QMessageBox::Cancel)
                    ->click();
        });
        QCOMPARE(QtDialogs().askYesNoCancel(u"変更を保存しますか?"_s), expected);
        QCOMPARE(caption, applicationTitle());
        QCOMPARE(text, u"変更を保存しますか?"_s);
    }

    // The buttons stand left to right as given; Return presses the default one,
    // Escape and closing the box give the escape one.
    void chooseAnswersWithTheButtonPressed_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("first") << u"0"_s << 0;
        QTest::newRow("last") << u"2"_s << 2;
        QTest::newRow("return") << u"return"_s << 1;
        QTest::newRow("escape key") << u"escape"_s << 2;
        QTest::newRow("window closed") << u"close"_s << 2;
    }

    void chooseAnswersWithTheButtonPressed() {
        QFETCH(QString, how);
        QFETCH(int, expected);
        const Choice choice{u"復元しますか?"_s, {u"復元"_s, u"破棄"_s, u"後で"_s}, 1, 2};
        QString caption, text;
        QStringList captions;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            QList<QAbstractButton*> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(),
                      [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
            for (QAbstractButton* b : buttons)
                captions << b->text();
            if (how == u"return")
                QTest::keyClick(box, Qt::Key_Return);
            else if (how == u"escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == u"close")
                box->close();
            else
                buttons.at(how.toInt())->click();
        });
        QCOMPARE(QtDialogs().choose(choice), expected);
        QCOMPARE(caption, applicationTitle());
        QCOMPARE(text, choice.text);
        QCOMPARE(captions, choice.buttons);
    }

    void cancelledDialogsGiveNothing() {
        const std::function<void(QDialog*)> cancel = [](QDialog* dialog) { dialog->reject(); };
        QtDialogs service;
        QPrinter printer;
        whenModal(cancel);
        QVERIFY(!service.openFile({}));
        whenModal(cancel);
        QVERIFY(service.openFiles({}).isEmpty());
        whenModal(cancel);
        QVERIFY(!service.saveFile({}));
        whenModal(cancel);
        QVERIFY(!service.chooseColor(Qt::red));
        whenModal(cancel);
        QVERIFY(!service.printerSetup(printer));
    }

    void openFileIsSetUpFromTheRequest() {
        QTemporaryDir dir;
        touch(dir.filePath(u"メモ.txt"_s));
        FileRequest request;
        request.title = u"開く"_s;
        request.filters = QStringList{u"テキスト文書 (*.txt)"_s, u"すべてのファイル (*)"_s};
        request.selectedFilter = 1;
        request.startFolder = dir.path();
        request.proposedName = u"メモ.txt"_s;
        request.fileMustExist = true;

        QStringList seen;
        QFileDialog::FileMode mode = QFileDialog::Directory;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            seen = QStringList{dialog->windowTitle(), dialog->selectedNameFilter(),
                               dialog->directory().absolutePath()} +
                   dialog->nameFilters();
            mode = dialog->fileMode();
            accept = dialog->acceptMode();
            static_cast<QDialog*>(dialog)->accept(); // the proposed name as it stands
        });
        const std::optional<QString> chosen = QtDialogs().openFile(request);
        // The pattern details stay out of sight: the user reads the description only.
        QCOMPARE(seen,
                 QStringList({u"開く"_s, u"すべてのファイル"_s, QDir(dir.path()).absolutePath()}) +
                     request.filters);
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(accept, QFileDialog::AcceptOpen);
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(u"メモ.txt"_s)));
    }

    // A file picked only for its folder need not exist; its folder must.
    void openFileTakesATypedNameThatNeedNotExist() {
        QTemporaryDir dir;
        FileRequest request;
        request.startFolder = dir.path();
        request.pathMustExist = true;
        QFileDialog::FileMode mode = QFileDialog::Directory;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            mode = dialog->fileMode();
            typeNameAndAccept(dialog, u"まだ無い.txt"_s);
        });
        const std::optional<QString> chosen = QtDialogs().openFile(request);
        QCOMPARE(mode, QFileDialog::AnyFile);
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(u"まだ無い.txt"_s)));
    }

    void saveFileAsksBeforeReplacingOnlyWhenRequested_data() {
        QTest::addColumn<bool>("prompt");
        QTest::newRow("prompt") << true;
        QTest::newRow("no prompt") << false;
    }

    void saveFileAsksBeforeReplacingOnlyWhenRequested() {
        QFETCH(bool, prompt);
        QTemporaryDir dir;
        touch(dir.filePath(u"報告.txt"_s));
        FileRequest request;
        request.startFolder = dir.path();
        request.defaultExtension = u"txt"_s;
        request.overwritePrompt = prompt;

        bool asked = false;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            accept = dialog->acceptMode();
            whenModal<QMessageBox>(
                [&](QMessageBox* box) {
                    asked = true;
                    box->button(QMessageBox::Yes)->click();
                },
                dialog);
            typeNameAndAccept(dialog, u"報告"_s); // the extension comes from the request
        });
        const std::optional<QString> chosen = QtDialogs().saveFile(request);
        QCOMPARE(accept, QFileDialog::AcceptSave);
        QCOMPARE(asked, prompt);
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(u"報告.txt"_s)));
    }

    void fontSizeOutsideTheLimitsIsRefusedAndAskedAgain() {
        const FontChoice initial{QFont(QApplication::font().family(), 10), Qt::black};
        const FontRequest limits{.minSize = 8, .maxSize = 12, .effects = true};
        QString warning;
        whenModal<QDialog>([&](QDialog* window) {
            setPointSize(window, 20);
            whenModal<QMessageBox>(
                [&](QMessageBox* box) {
                    warning = box->text();
                    // Still open for another choice: a size within limits, and a colour.
                    whenModal<QDialog>(
                        [this](QDialog* again) {
                            setPointSize(again, 11);
                            whenModal<QColorDialog>(
                                [](QColorDialog* picker) { pickColour(picker, Qt::darkRed); },
                                again);
                            again->findChild<QPushButton*>(u"colorButton"_s)->click();
                            dialogButton(again, QDialogButtonBox::Ok)->click();
                        },
                        box);
                    box->close();
                },
                window);
            dialogButton(window, QDialogButtonBox::Ok)->click();
        });
        const std::optional<FontChoice> chosen = QtDialogs().chooseFont(initial, limits);
        QCOMPARE(warning, u"サイズは 8 から 12 ポイントまでの値を選んでください。"_s);
        QVERIFY(chosen);
        QCOMPARE(chosen->font.pointSize(), 11);
        QCOMPARE(chosen->color, QColor(Qt::darkRed));
    }

    void fontWithoutEffectsOffersNoColour() {
        QFont font(QApplication::font().family(), 10);
        font.setUnderline(true);
        bool colorOffered = true;
        int effectBoxesShown = -1;
        whenModal<QDialog>([&](QDialog* window) {
            colorOffered = window->findChild<QPushButton*>(u"colorButton"_s)->isVisibleTo(window);
            effectBoxesShown = 0;
            for (QCheckBox* box : window->findChildren<QCheckBox*>())
                effectBoxesShown += box->isVisibleTo(window) ? 1 : 0;
            dialogButton(window, QDialogButtonBox::Ok)->click();
        });
        const std::optional<FontChoice> chosen =
            QtDialogs().chooseFont({font, Qt::blue}, FontRequest{.effects = false});
        QVERIFY(!colorOffered);
        QCOMPARE(effectBoxesShown, 0);
        QVERIFY(chosen);
        QCOMPARE(chosen->color, QColor(Qt::blue));
        QVERIFY(chosen->font.underline());
        QCOMPARE(chosen->font.pointSize(), 10);
    }

    // The list, the editors and the options dialog's samples all choose their fonts
    // here. OK with nothing chosen gives the font back exactly, whatever styles the
    // family has and however the dialog names it; choosing only a size keeps the style.
    void okWithNothingChosenKeepsTheFont_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("effects");
        for (const char16_t* family : {u"DejaVu Sans", u"DejaVu Serif", u"Nimbus Sans",
                                       u"Noto Sans CJK JP", u"ＭＳ Ｐゴシック"}) {
            const QString f = QString::fromUtf16(family);
            QTest::addRow("%s", qPrintable(f)) << f << false << false << false;
            QTest::addRow("%s, bold italic, effects", qPrintable(f)) << f << true << true << true;
        }
    }

    void okWithNothingChosenKeepsTheFont() {
        QFETCH(QString, family);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, effects);
        // Families the machine lacks are skipped, but for the one no machine here has.
        if (!QFontDatabase::hasFamily(family) && family != u"ＭＳ Ｐゴシック")
            QSKIP("font not installed");
        QFont initial(family);
        initial.setPointSize(9);
        initial.setBold(bold);
        initial.setItalic(italic);
        const FontRequest request{.effects = effects};
        int sampleHeight = 0;
        whenModal<QDialog>([&](QDialog* window) {
            sampleHeight = this->sampleHeight(window);
            dialogButton(window, QDialogButtonBox::Ok)->click();
        });
        const std::optional<FontChoice> kept =
            QtDialogs().chooseFont({initial, Qt::black}, request);
        QVERIFY(kept);
        QCOMPARE(kept->font, initial);
        // The sample is readable with and without the effects beside it.
        QVERIFY2(sampleHeight >= 64, qPrintable(QString::number(sampleHeight)));

        // Only the size chosen: the same family and style.
        whenModal<QDialog>([&](QDialog* window) {
            setPointSize(window, 12);
            dialogButton(window, QDialogButtonBox::Ok)->click();
        });
        const std::optional<FontChoice> sized =
            QtDialogs().chooseFont({initial, Qt::black}, request);
        QVERIFY(sized);
        if (QFontDatabase::hasFamily(family))
            QCOMPARE(sized->font.family(), family);
        QCOMPARE(sized->font.pointSize(), 12);
        QCOMPARE(sized->font.bold(), bold);
        QCOMPARE(sized->font.italic(), italic);
    }

    void chooseColorStartsFromTheGivenColour() {
        QColor shown;
        whenModal<QColorDialog>([&](QColorDialog* picker) {
            shown = picker->currentColor();
            pickColour(picker, QColor(0x12, 0x34, 0x56));
        });
        QCOMPARE(QtDialogs().chooseColor(QColor(Qt::magenta)),
                 std::optional<QColor>(QColor(0x12, 0x34, 0x56)));
        QCOMPARE(shown, QColor(Qt::magenta));
    }

    void printOffersPrintToFileOnlyWhenAsked_data() {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("checked");
        QTest::newRow("hidden") << false << false;
        QTest::newRow("shown") << true << false;
        QTest::newRow("shown and checked") << true << true;
    }

    void printOffersPrintToFileOnlyWhenAsked() {
        QFETCH(bool, shown);
        QFETCH(bool, checked);
        QPrinter printer;
        printer.setDocName(u"議事録.txt"_s);
        bool fileOffered = !shown;
        QString fileBox;
        QPrinter::OutputFormat format = QPrinter::NativeFormat;
        whenModal<QPrintDialog>([&](QPrintDialog* dialog) {
            fileOffered = dialog->findChild<QComboBox*>(u"printers"_s)
                              ->findText(u"Print to File"_s, Qt::MatchContains) >= 0;
            fileBox = dialog->findChild<QLineEdit*>(u"filename"_s)->text();
            format = dialog->printer()->outputFormat();
            dialog->reject();
        });
        QVERIFY(!QtDialogs().print(printer, {shown, checked}));
        QCOMPARE(fileOffered, shown);
        if (checked) {
            QCOMPARE(format, QPrinter::PdfFormat);
            QVERIFY2(fileBox.endsWith(u"/議事録.pdf"_s), qPrintable(fileBox));
            QVERIFY(QFileInfo(fileBox).absoluteDir().exists());
        } else {
            QVERIFY(printer.outputFileName().isEmpty());
        }
    }
};

QTEST_MAIN(QtDialogsTest)

#include "QtDialogsTest.moc"

// The options dialog as the user works it: its pages and controls, the name box's
// limit, the font and colour dialogs, the page and configuration buttons, the folder
// choosers, and what OK and Cancel do to the live windows and the files.
#include "FormTestSupport.h"

#include "document/DocumentRules.h"
#include "forms/OptionsDialog.h"
#include "settings/IniFile.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

using namespace qel;
using namespace qel::testing;

namespace {

using Steps = std::function<void(OptionsDialog&)>;

template <typename T> T* part(QWidget& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
}

QTabWidget* pages(QWidget& form) {
    return part<QTabWidget>(form, "PageControl1");
}

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString hint(QWidget& form, const char* name) {
    return part<QWidget>(form, name)->toolTip();
}

QString text(QWidget& form, const char* name) {
    if (auto* l = part<QLabel>(form, name))
        return l->text();
    if (auto* e = part<QLineEdit>(form, name))
        return e->text();
    return button(form, name)->text();
}

// Presses one of a page's own buttons; the page is made current first.
void press(OptionsDialog& form, int window, const char* name) {
    pages(form)->setCurrentIndex(window + 1);
    click(*form.page(window), name);
}

SamplePane* sample(OptionsDialog& form, int window) {
    return form.page(window)->sample();
}

const QString kSampleText = u"1234567890\nABCDEFGHIJEFGHIJKLMNOPQRSTUVWXYZ\n"
                            u"abcdefghijklmnopqrstuvwxyz\nあかさたなはまやらわ\n"
                            u"アカサタナハマヤラワ\n子丑寅卯辰巳午未申酉戌亥"_s;

} // namespace

class OptionsDialogTest : public QObject, ProgramFixture {
    Q_OBJECT

    // Opens the dialog with the main window's command and works it through `steps`,
    // which end it with OK or Cancel.
    void openOptions(const Steps& steps) {
        bool ran = false;
        dialogs_->answerExec([&](QDialog& d) {
            auto& form = static_cast<OptionsDialog&>(d);
            form.show();
            if (QTest::qWaitForWindowExposed(&form)) {
                steps(form);
                ran = true;
            }
            return form.result();
        });
        command("OpenProperty")->trigger();
        QVERIFY2(ran, "the options dialog did not show");
    }

    QByteArray stored(const QString& name) const { return readFile(path(name)); }

    // What the page and configuration buttons ask their file dialogs; the filter's
    // pattern is repeated for Qt, which hides it.
    FileRequest settingsFileRequest(const QString& description, const QString& extension) const {
        FileRequest r;
        r.filters = QStringList{description + u" (*." + extension + u')'};
        r.defaultExtension = extension;
        r.startFolder = folder();
        r.hideReadOnly = true;
        r.pathMustExist = true;
        return r;
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void everyControlAsTheUserSeesIt() {
        QVERIFY(writeText(path(u"DefaultSub2.QelW"_s),
                          u"[Form]\nVisible=1\nStayOnTop=3\n[Editor]\nBackColor=65280\n"_s));
        for (const char16_t* name : {u"b.QelW", u"A.qelw", u".hidden.QelW", u"x.Qel"})
            QVERIFY(writeText(path(QString::fromUtf16(name)), QString()));
        start();
        // The dialog kept beside the windows is filled but never shown.
        const OptionsDialog& startup = windows_->optionsDialog();
        QVERIFY(startup.isHidden());
        QCOMPARE(startup.page(0)->sample()->toPlainText(), kSampleText);

        openOptions([&](OptionsDialog& f) {
            QCOMPARE(f.windowTitle(), u"環境設定"_s);
            QCOMPARE(f.size(), QSize(431, 214));
            QCOMPARE(f.minimumSize(), f.maximumSize());
            QVERIFY(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            for (Qt::WindowType buttonHint :
                 {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                  Qt::WindowMaximizeButtonHint, Qt::WindowSystemMenuHint})
                QVERIFY(!f.windowFlags().testFlag(buttonHint));
            QCOMPARE(pages(f)->geometry(), QRect(0, 0, 431, 187));
            for (const char* name : {"OKButton", "CancelButton"}) {
                const QRect r = button(f, name)->geometry();
                QVERIFY2(r.top() >= 187 && r.bottom() < 214 && r.right() < 215, name);
            }
            QVERIFY(part<QPushButton>(f, "OKButton")->isDefault());
            QCOMPARE(button(f, "CancelButton")->text(), u"キャンセル"_s);

            // Base first; a sub-window's tab only while it is shown.
            QTabWidget* tabs = pages(f);
            QStringList captions;
            QList<bool> shown;
            for (int i = 0; i < tabs->count(); ++i) {
                captions << tabs->tabText(i);
                shown << tabs->isTabVisible(i);
            }
            QCOMPARE(captions, words(u"動作設定 メインウィンドウ サブウィンドウ１ "
                                     u"サブウィンドウ２ サブウィンドウ３"));
            QCOMPARE(shown, (QList<bool>{true, true, false, true, false}));
            QCOMPARE(tabs->currentIndex(), 0);

            const struct {
                const char* name;
                const char16_t* text; // nullptr: not checked
                const char16_t* hint;
            } controls[] = {
                {"Label14", u"ファイル保存基本フォルダ：", u""},
                {"Label15", u"ファイル読込基本フォルダ：", u""},
                {"InsertDirSave", u"参照...", u""},
                {"InsertDirOpen", u"参照...", u""},
                {"Label5", u"使用する設定ファイル", u""},
                {"Label1", u"メインウィンドウ：", u""},
                {"Label2", u"サブウィンドウ１：", u""},
                {"Label3", u"サブウィンドウ２：", u""},
                {"Label4", u"サブウィンドウ３：", u""},
                {"BitBtn21", u"設定保存", u"設定を保存します"},
                {"BitBtn22", u"設定読込", u"設定を読み込みます"},
                {"MainSample", nullptr, u"文字表示サンプル(入力可能)"},
                {"MainName", u"QelEditor", u"半角33(全角16)文字まで入力できます"},
                {"Sub2Name", u"SubWindow2", u"半角33(全角16)文字まで入力できます"},
                {"MainIniName", u"DefaultMain.QelW", u""},
                {"Sub1IniName", u"DefaultSub1.QelW", u""},
                {"WindowSizeMain", u"：幅　500，高さ　350", u""},
                {"WindowPositionMain", u"：x　100，y　100", u""},
                {"WindowSizeSub1", u"：幅　250，高さ　175", u""},
                {"WindowPositionSub1", u"：x　200，y　200", u""},
                {"CheckBox5", u"表示", u""},
                {"CheckBox6", u"常に前面に表示", u""},
            };
            for (const auto& c : controls) {
                if (c.text)
                    QCOMPARE(text(f, c.name), QString::fromUtf16(c.text));
                QCOMPARE(hint(f, c.name), QString::fromUtf16(c.hint));
            }
            WindowPageTab* main = f.page(0);
            const struct {
                const char* name;
                const char16_t* hint;
            } pageButtons[] = {{"FontChangeButton", u"フォント設定"},
                               {"FontColorChangeButton", u"文字色設定"},
                               {"ColorChangeButton", u"背景色設定"},
                               {"SaveButton", u"ウィンドウ設定を保存します"},
                               {"LoadButton", u"ウィンドウ設定を読み込みます"}};
            for (const auto& b : pageButtons)
                QCOMPARE(hint(*main, b.name), QString::fromUtf16(b.hint));
            QVERIFY(button(*main, "FontChangeButton")->text().isEmpty()); // picture only

            // The samples show each window's look, then the six lines.
            for (int w = 0; w < 4; ++w)
                QCOMPARE(sample(f, w)->toPlainText(), kSampleText);
            QCOMPARE(sample(f, 2)->backgroundColor(), QColor(0, 255, 0));
            QCOMPARE(sample(f, 0)->look().font.family(), editor()->font().family());
            QVERIFY(isTicked(*f.page(2), "CheckBox3") && isTicked(*f.page(2), "CheckBox4"));
            QVERIFY(!isTicked(*f.page(1), "CheckBox5") && !isTicked(*f.page(1), "CheckBox6"));

            // Both folders start as the program folder; each box's hint is its text.
            for (const char* box : {"InitDirSave", "InitDirOpen"}) {
                QCOMPARE(text(f, box), folder());
                QCOMPARE(hint(f, box), folder());
            }
            // Four sorted lists of the folder's window settings files, each showing
            // the file its window uses, coloured like that window.
            for (int n = 1; n <= 4; ++n) {
                auto* box = part<QComboBox>(f, qPrintable(u"ComboBox%1"_s.arg(n)));
                QVERIFY(!box->isEditable());
                QCOMPARE(items(box),
                         (QStringList{u"A.qelw"_s, u"b.QelW"_s, u"DefaultSub2.QelW"_s}));
                QCOMPARE(box->currentText(), n == 3 ? u"DefaultSub2.QelW"_s : QString());
                QCOMPARE(box->palette().color(QPalette::Base), sample(f, n - 1)->backgroundColor());
            }
            click(f, "CancelButton");
        });
        QVERIFY(!QFile::exists(path(u"QelEditor.ini"_s)));
        QVERIFY(!QFile::exists(path(u"DefaultConfig.Qel"_s)));
    }

    void everyCaptionFitsWithAllPagesShown() {
        start();
        for (int n = 1; n <= 3; ++n)
            subWindow(n)->show();
        openOptions([&](OptionsDialog& f) {
            QTabBar* tabs = pages(f)->tabBar();
            QCOMPARE(tabs->count(), 5);
            QVERIFY2(tabs->tabRect(4).right() < tabs->width(),
                     qPrintable(u"tabs need %1 px"_s.arg(tabs->tabRect(4).right())));
            for (int index = 0; index < 5; ++index) {
                pages(f)->setCurrentIndex(index);
                QCoreApplication::processEvents();
                QWidget* page = pages(f)->currentWidget();
                for (QWidget* w : page->findChildren<QWidget*>()) {
                    const bool captioned =
                        qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
                    if (!captioned || !w->isVisible())
                        continue;
                    const auto* l = qobject_cast<QLabel*>(w);
                    const QString caption =
                        l ? l->text() : static_cast<QAbstractButton*>(w)->text();
                    // A push button's own minimum is wider than its caption needs.
                    const auto* push = qobject_cast<QPushButton*>(w);
                    const int needed = push ? push->fontMetrics().horizontalAdvance(caption) + 8
                                            : w->sizeHint().width();
                    QVERIFY2(w->width() >= needed,
                             qPrintable(caption + u" %1 < %2"_s.arg(w->width()).arg(needed)));
                    QVERIFY2(page->rect().contains(QRect(w->mapTo(page, QPoint()), w->size())),
                             qPrintable(w->objectName()));
                }
            }
            click(f, "CancelButton");
        });
    }

    void nameBoxHoldsAtMost33Bytes() {
        QVERIFY(
            writeText(path(u"Long.QelW"_s), u"[Form]\nWindowName=%1\n"_s.arg(QString(20, u'長'))));
        start();
        openOptions([&](OptionsDialog& f) {
            pages(f)->setCurrentIndex(1);
            auto* box = part<QLineEdit>(f, "MainName");
            box->setFocus();
            const auto retype = [&](const QString& typed) {
                box->selectAll();
                QTest::keyClick(box, Qt::Key_Delete);
                type(box, typed);
            };
            const auto commit = [&](const QString& composed) {
                QInputMethodEvent event;
                event.setCommitString(composed);
                QApplication::sendEvent(box, &event);
            };
            const auto paste = [&](const QString& clip) {
                QApplication::clipboard()->setText(clip);
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            };

            retype(QString(40, u'a'));
            QCOMPARE(box->text(), QString(33, u'a'));
            retype(QString(20, u'あ'));
            QCOMPARE(box->text(), QString(16, u'あ')); // 32 bytes
            type(box, u"xy"_s);
            QCOMPARE(box->text(), QString(16, u'あ') + u'x');

            retype(QString(30, u'a'));
            paste(u"bあc"_s);
            QCOMPARE(box->text(), QString(30, u'a') + u"bあ");
            retype(QString(30, u'a'));
            box->setCursorPosition(10);
            paste(u"漢字"_s); // pasted in the middle: only 漢 fits
            QCOMPARE(box->text(), QString(10, u'a') + u'漢' + QString(20, u'a'));
            QCOMPARE(box->cursorPosition(), 11);

            retype(QString(15, u'あ'));
            commit(u"日本語"_s);
            QCOMPARE(box->text(), QString(15, u'あ') + u'日');

            // A name the program reads is shown whole, however long.
            dialogs_->answerFile(path(u"Long.QelW"_s));
            press(f, 0, "LoadButton");
            QCOMPARE(box->text(), QString(20, u'長'));
            click(f, "CancelButton");
        });
    }

    void fontAndColourDialogsChangeOnlyTheSample() {
        start();
        mainWindow()->toggleSubWindow(1);
        QFont chosen(u"Test Face"_s);
        chosen.setPointSize(20);
        chosen.setBold(true);
        openOptions([&](OptionsDialog& f) {
            auto* mainList = part<QComboBox>(f, "ComboBox1");
            auto* subList = part<QComboBox>(f, "ComboBox2");

            // The main page's sizes are limited, no effects are offered, the colour stays.
            dialogs_->answerFont(FontChoice{chosen, QColor(Qt::blue)});
            press(f, 0, "FontChangeButton");
            const ScriptedDialogs::Call call = dialogs_->calls().last();
            QCOMPARE(call.kind, u"chooseFont"_s);
            QCOMPARE(call.fontRequest, (FontRequest{8, 48, false}));
            QCOMPARE(call.font.font.family(), editor()->font().family());
            QCOMPARE(sample(f, 0)->font().family(), u"Test Face"_s);
            QCOMPARE(sample(f, 0)->font().pointSize(), 20);
            QCOMPARE(sample(f, 0)->textColor(), QColor(Qt::black));

            // A sub-window page: any size; a cancelled dialog changes nothing.
            dialogs_->answerFont(std::nullopt);
            press(f, 1, "FontChangeButton");
            QCOMPARE(dialogs_->calls().last().fontRequest, (FontRequest{0, 0, false}));
            QCOMPARE(sample(f, 1)->font().family(), subWindow(1)->editor()->font().family());

            // A font change leaves the lists' colours; a colour change recolours them.
            const QColor red(255, 0, 0);
            sample(f, 0)->setTextColor(red); // as if chosen, without the recolouring
            QCOMPARE(mainList->palette().color(QPalette::Text), QColor(Qt::black));
            dialogs_->answerColor(QColor(Qt::yellow));
            press(f, 1, "ColorChangeButton");
            QCOMPARE(dialogs_->calls().last().color, subWindow(1)->editor()->backgroundColor());
            QCOMPARE(subList->palette().color(QPalette::Base), QColor(Qt::yellow));
            QCOMPARE(mainList->palette().color(QPalette::Text), red);
            dialogs_->answerColor(std::nullopt);
            press(f, 1, "FontColorChangeButton");
            QCOMPARE(sample(f, 1)->textColor(), subWindow(1)->editor()->textColor());
            dialogs_->answerColor(QColor(Qt::blue));
            press(f, 1, "FontColorChangeButton");
            QCOMPARE(subList->palette().color(QPalette::Text), QColor(Qt::blue));

            // Nothing reaches the windows before OK.
            QCOMPARE(editor()->font().family(), call.font.font.family());
            QCOMPARE(subWindow(1)->editor()->backgroundColor(), QColor(Qt::white));
            click(f, "OKButton");
        });
        QCOMPARE(look(editor()), u"Test Face,20,bold #ff0000/#ffffff"_s);
        QCOMPARE(subWindow(1)->editor()->backgroundColor(), QColor(Qt::yellow));
        QCOMPARE(subWindow(1)->editor()->textColor(), QColor(Qt::blue));
        // The opening command refreshes the font hints afterwards.
        QCOMPARE(editor()->hint(), u"Test Face, Size:20"_s);
    }

    void pageButtonsSaveAndLoadAtOnceAndCancelKeepsTheWindows() {
        QVERIFY(writeText(path(u"x.QelW"_s), QString()));
        QVERIFY(QDir(folder()).mkdir(u"other"_s));
        QVERIFY(writeText(path(u"other/Loaded.QelW"_s),
                          u"[Form]\nStayOnTop=3\nVisible=0\nLeft=7\n[Editor]\nFont=Loaded Face\n"
                          u"FontStyle=bold\nBackColor=255\n"_s));
        start();
        mainWindow()->toggleSubWindow(1);
        openOptions([&](OptionsDialog& f) {
            const FileRequest expected =
                settingsFileRequest(u"QelEditorWindow設定ファイル (*.QelW)"_s, u"QelW"_s);
            part<QLineEdit>(f, "Sub1Name")->setText(u"一番"_s);
            part<QComboBox>(f, "ComboBox2")->setCurrentIndex(0);
            dialogs_->answerFile(path(u"Saved.QelW"_s));
            press(f, 1, "SaveButton");
            FileRequest save = expected;
            save.overwritePrompt = true;
            QCOMPARE(dialogs_->calls().last().file, save);
            const QByteArray saved = "[Form]\r\nTop=200\r\nLeft=200\r\nHeight=175\r\nWidth=250\r\n"
                                     "WindowName=" +
                                     cp932::encode(u"一番") + "\r\nStayOnTop=0\r\nVisible=1\r\n";
            QVERIFY(stored(u"Saved.QelW"_s).startsWith(saved));
            QCOMPARE(text(f, "Sub1IniName"), u"Saved.QelW"_s);
            for (int n = 1; n <= 4; ++n) {
                auto* box = part<QComboBox>(f, qPrintable(u"ComboBox%1"_s.arg(n)));
                QCOMPARE(items(box), (QStringList{u"Saved.QelW"_s, u"x.QelW"_s}));
                // No selection moves: the list's own pick stays on its entry.
                QCOMPARE(box->currentText(), n == 2 ? u"x.QelW"_s : QString());
            }
            QCOMPARE(f.settingsFilePath(1), path(u"Saved.QelW"_s));

            dialogs_->answerFile(path(u"other/Loaded.QelW"_s));
            press(f, 1, "LoadButton");
            FileRequest load = expected;
            load.fileMustExist = true;
            QCOMPARE(dialogs_->calls().last().file, load);
            QCOMPARE(text(f, "Sub1Name"), u"SubWindow1"_s); // the file has none
            QVERIFY(isTicked(*f.page(1), "CheckBox6") && !isTicked(*f.page(1), "CheckBox5"));
            QCOMPARE(sample(f, 1)->font().family(), u"Loaded Face"_s);
            QVERIFY(!sample(f, 1)->font().bold()); // "bold" is not a style name
            QCOMPARE(sample(f, 1)->backgroundColor(), QColor(Qt::red));
            QCOMPARE(part<QComboBox>(f, "ComboBox2")->palette().color(QPalette::Base),
                     QColor(Qt::red));
            QCOMPARE(text(f, "Sub1IniName"), u"Loaded.QelW"_s);
            QCOMPARE(text(f, "WindowPositionSub1"), u"：x　7，y　200"_s);

            // A cancelled file dialog changes nothing.
            dialogs_->answerFile(std::nullopt);
            press(f, 1, "SaveButton");
            QCOMPARE(text(f, "Sub1IniName"), u"Loaded.QelW"_s);
            click(f, "CancelButton");
        });
        QVERIFY(QFile::exists(path(u"Saved.QelW"_s)));
        QVERIFY(!QFile::exists(path(u"QelEditor.ini"_s)));
        QVERIFY(!QFile::exists(path(u"DefaultConfig.Qel"_s)));
        QCOMPARE(subWindow(1)->windowName(), u"SubWindow1"_s);
        QCOMPARE(subWindow(1)->settingsFilePath(), path(u"DefaultSub1.QelW"_s));
        QVERIFY(subWindow(1)->isVisible() && !subWindow(1)->staysOnTop());
    }

    void firstOkCreatesTheConfigurationAndEveryWindowReloads() {
        start();
        mainWindow()->toggleSubWindow(1); // sub-windows 2 and 3 stay hidden
        subWindow(2)->editor()->setBackgroundColor(Qt::green);
        openOptions([&](OptionsDialog& f) {
            part<QLineEdit>(f, "MainName")->setText(u"メモ帳"_s);
            click(f, "OKButton");
        });
        const QString d = folder();
        QCOMPARE(stored(u"DefaultConfig.Qel"_s),
                 cp932::encode(u"[UseQelWFile]\nMain=%1DefaultMain.QelW\nSub1=%1DefaultSub1.QelW\n"
                               u"Sub2=%1DefaultSub2.QelW\nSub3=%1DefaultSub3.QelW\n"
                               u"[InitialFolder]\nSave=%1\nLoad=%1\n"_s.arg(d)));
        QCOMPARE(stored(u"QelEditor.ini"_s),
                 cp932::encode(u"[Config]\nIniFile=%1DefaultConfig.Qel\n"_s.arg(d)));
        QCOMPARE(mainWindow()->windowName(), u"メモ帳"_s);
        QCOMPARE(item("ActiveMainWindow1")->text(), u"メモ帳表示"_s);
        // The hidden sub-window's page was written from the live window all the same,
        // and it reloads hidden.
        QVERIFY(subWindow(1)->isVisible() && subWindow(2)->isHidden() && subWindow(3)->isHidden());
        QVERIFY(stored(u"DefaultSub2.QelW"_s).contains("Visible=0\r\n[Editor]"));
        QCOMPARE(subWindow(2)->editor()->backgroundColor(), QColor(Qt::green));
        QVERIFY(stored(u"DefaultMain.QelW"_s).contains("[Date&TimeFormat]\r\nYO=yyyy\r\n"));
        QVERIFY(!stored(u"DefaultMain.QelW"_s).contains("[Visible]"));
    }

    void windowsTakeTheFilesChosenForThemWhilePagesGoToTheFilesNamedOnThem() {
        QVERIFY(QDir(folder()).mkdir(u"other"_s));
        QVERIFY(writeText(path(u"Alt.QelW"_s), u"[Form]\nWindowName=Alt\n"_s));
        QVERIFY(writeText(path(u"Same.QelW"_s), u"[Form]\nWindowName=here\n"_s));
        QVERIFY(writeText(path(u"other/same.qelw"_s), u"[Form]\nWindowName=there\n"_s));
        QVERIFY(
            writeText(path(u"DefaultConfig.Qel"_s),
                      u"[UseQelWFile]\nSub1=%1Alt.QelW\nSub2=%1other/same.qelw\n"_s.arg(folder())));
        QVERIFY(QDir(folder()).mkdir(u"docs"_s));
        start();
        openOptions([&](OptionsDialog& f) {
            // The configuration names a file of the folder, and one elsewhere whose name
            // is in the list in another letter case.
            QCOMPARE(part<QComboBox>(f, "ComboBox2")->currentText(), u"Alt.QelW"_s);
            QCOMPARE(part<QComboBox>(f, "ComboBox3")->currentText(), u"Same.QelW"_s);
            QCOMPARE(text(f, "Sub1IniName"), u"DefaultSub1.QelW"_s);
            // Picking an entry by hand chooses the program folder's file.
            auto* mainList = part<QComboBox>(f, "ComboBox1");
            mainList->setFocus();
            QTest::keyClick(mainList, Qt::Key_Down);
            QCOMPARE(mainList->currentText(), u"Alt.QelW"_s);
            QCOMPARE(f.settingsFilePath(0), path(u"Alt.QelW"_s));
            // A folder without its final separator.
            auto* save = part<QLineEdit>(f, "InitDirSave");
            save->setText(folder() + u"docs");
            click(f, "OKButton");
        });
        // Each page went to the file named on it, then each window loaded its own.
        QVERIFY(stored(u"DefaultSub1.QelW"_s).contains("WindowName=SubWindow1\r\n"));
        QVERIFY(stored(u"DefaultMain.QelW"_s).contains("WindowName=QelEditor\r\n"));
        QCOMPARE(mainWindow()->settingsFilePath(), path(u"Alt.QelW"_s));
        QCOMPARE(mainWindow()->windowName(), u"Alt"_s);
        QCOMPARE(subWindow(1)->windowName(), u"Alt"_s);
        QCOMPARE(subWindow(2)->settingsFilePath(), path(u"other/same.qelw"_s));
        QCOMPARE(subWindow(2)->windowName(), u"there"_s);
        QCOMPARE(subWindow(3)->settingsFilePath(), path(u"DefaultSub3.QelW"_s));
        // The configuration keeps the folder's parent; the main window the box's text.
        QVERIFY(stored(u"DefaultConfig.Qel"_s)
                    .contains(cp932::encode(QString(u"Save=" + folder() + u"\n"))));
        dialogs_->answerFile(std::nullopt);
        mainWindow()->saveAs();
        QCOMPARE(dialogs_->calls().last().file.startFolder, folder() + u"docs");
    }

    // A file the user only meant to read, outside the program folder: a failed OK and
    // Cancel leave every window on the file it had, and exiting writes none of them.
    void cancelAfterAFailedOkLeavesTheWindowsAsTheyWere() {
        QVERIFY(QDir(folder()).mkdir(u"other"_s));
        const QByteArray bad = cp932::encode(u"[Form]\nHeight=abc\nWindowName=悪い\n"_s);
        QVERIFY(writeBytes(path(u"other/bad.QelW"_s), bad));
        QVERIFY(writeText(path(u"other/good.QelW"_s),
                          u"[Form]\nTop=1\nLeft=2\nHeight=300\nWidth=400\nWindowName=良い\n"_s));
        start();
        mainWindow()->toggleSubWindow(1);
        const auto loadAndOk = [&](OptionsDialog& f, int window, const char16_t* name) {
            dialogs_->answerFile(path(QString::fromUtf16(name)));
            press(f, window, "LoadButton");
            click(f, "OKButton");
        };
        // Corrected on the page, OK goes through.
        openOptions([&](OptionsDialog& f) {
            loadAndOk(f, 1, u"other/bad.QelW");
            QVERIFY(f.isVisible());
            QCOMPARE(subWindow(1)->settingsFilePath(), path(u"DefaultSub1.QelW"_s));
            loadAndOk(f, 1, u"other/good.QelW");
            QVERIFY(!f.isVisible());
        });
        QCOMPARE(subWindow(1)->settingsFilePath(), path(u"other/good.QelW"_s));
        QCOMPARE(subWindow(1)->windowName(), u"良い"_s);

        // The failure is shown, and the dialog stays open to be put right or cancelled.
        dialogs_->clearCalls();
        openOptions([&](OptionsDialog& f) {
            loadAndOk(f, 0, u"other/bad.QelW");
            QCOMPARE(text(f, "WindowSizeMain"), u"：幅　500，高さ　abc"_s);
            QCOMPARE(dialogs_->texts(u"showException"_s),
                     QStringList{u"「abc」は有効な整数値ではありません。"_s});
            QVERIFY(f.isVisible());
            QCOMPARE(mainWindow()->settingsFilePath(), path(u"DefaultMain.QelW"_s));
            QCOMPARE(subWindow(1)->settingsFilePath(), path(u"other/good.QelW"_s));
            click(f, "CancelButton");
            QCOMPARE(f.result(), int(QDialog::Rejected));
        });
        // Written before the failure: the page's keys before Height, in the program folder.
        QVERIFY(stored(u"bad.QelW"_s).startsWith("[Form]\r\nTop=100\r\nLeft=100\r\n"));
        QVERIFY(!stored(u"bad.QelW"_s).contains("Height"));
        QCOMPARE(mainWindow()->settingsFilePath(), path(u"DefaultMain.QelW"_s));
        QCOMPARE(mainWindow()->windowName(), u"QelEditor"_s);
        QVERIFY(exitProgram());
        QCOMPARE(readFile(path(u"other/bad.QelW"_s)), bad);
        const IniFile master(path(u"QelEditor.ini"_s));
        QCOMPARE(master.readString(u"UseQelWFile", u"Main", QString()),
                 path(u"DefaultMain.QelW"_s));
    }

    // A save the user asked for that fails says why, and the page and the dialog stay
    // as they were.
    void failedSavesAreReportedAndChangeNothing() {
        QVERIFY(writeText(path(u"x.QelW"_s), QString()));
        QVERIFY(writeText(path(u"plain"_s), u"a file where a folder would be"_s));
        start();
        mainWindow()->toggleSubWindow(1);
        openOptions([&](OptionsDialog& f) {
            const auto reported = [&](const QString& target) {
                const QStringList shown = dialogs_->texts(u"showException"_s);
                const QString lead = target + u"に書き込めませんでした。\n";
                return shown.size() == 1 && shown[0].startsWith(lead) &&
                       shown[0].size() > lead.size();
            };
            const QString page = path(u"plain/p.QelW"_s);
            dialogs_->answerFile(page);
            press(f, 1, "SaveButton");
            QVERIFY(reported(page));
            QCOMPARE(text(f, "Sub1IniName"), u"DefaultSub1.QelW"_s);
            QCOMPARE(f.settingsFilePath(1), path(u"DefaultSub1.QelW"_s));
            QCOMPARE(items(part<QComboBox>(f, "ComboBox1")), QStringList{u"x.QelW"_s});

            dialogs_->clearCalls();
            const QString configuration = path(u"plain/c.Qel"_s);
            dialogs_->answerFile(configuration);
            pages(f)->setCurrentIndex(0);
            click(f, "BitBtn21");
            QVERIFY(reported(configuration));
            QCOMPARE(f.configFilePath(), path(u"DefaultConfig.Qel"_s));
            click(f, "OKButton");
        });
        QCOMPARE(subWindow(1)->settingsFilePath(), path(u"DefaultSub1.QelW"_s));
        QVERIFY(stored(u"QelEditor.ini"_s).contains("DefaultConfig.Qel"));
    }

    void okLeavesTheViewTogglesAsTheUserHadThem() {
        start();
        QVERIFY(activate(mainWindow()));
        for (const char* toggle : {"VisibleToolBar", "VisibleStatusBar", "VisibleStaticText"})
            command(toggle)->trigger();
        const auto shown = [&] {
            QList<bool> out;
            for (const char* toggle : {"VisibleToolBar", "VisibleStatusBar", "VisibleStaticText"})
                out << command(toggle)->isChecked();
            for (const char* part : {"PageScroller1", "StatusBar1", "StaticText1"})
                out << !mainWindow()->findChild<QWidget*>(QString::fromLatin1(part))->isHidden();
            return out;
        };
        const QList<bool> set{false, false, true, false, false, true};
        QCOMPARE(shown(), set);
        openOptions([&](OptionsDialog& f) { click(f, "OKButton"); });
        QCOMPARE(shown(), set);
        QCOMPARE(command("VisibleToolBar")->toolTip(), u"ツールバーを表示します"_s);
        // The dialog's file holds no view toggles; the main window's own writing does.
        QVERIFY(!stored(u"DefaultMain.QelW"_s).contains("[Visible]"));
        QVERIFY(exitProgram());
        QVERIFY(stored(u"DefaultMain.QelW"_s)
                    .contains("[Visible]\r\nToolBar=0\r\nFontInfo=1\r\nStatusBar=0\r\n"));
    }

    void samplesLetTabGoOnAndLongNamesShowTheirEnds() {
        const QString longName = u"SubWindowSettingsLongNameForTheLabel.QelW"_s;
        QVERIFY(writeText(path(longName), u"[Form]\nWindowName=長い\n"_s));
        const QString deep = folder() + QString(12, u'd') + u"/" + QString(60, u'e') + u"/";
        QVERIFY(QDir().mkpath(deep));
        start();
        openOptions([&](OptionsDialog& f) {
            // Tab goes on from the sample, which keeps its text.
            pages(f)->setCurrentIndex(1);
            SamplePane* pane = sample(f, 0);
            pane->setFocus();
            QVERIFY(QTest::qWaitFor([&] { return pane->hasFocus(); }));
            QTest::keyClick(pane, Qt::Key_Tab);
            QVERIFY(!pane->hasFocus());
            QCOMPARE(pane->toPlainText(), kSampleText);

            // A long file name is cut in the middle and whole in the tool tip.
            dialogs_->answerFile(path(longName));
            press(f, 0, "LoadButton");
            auto* name = part<QLabel>(f, "MainIniName");
            QVERIFY2(name->text().contains(u'…') && name->text().endsWith(u".QelW"),
                     qPrintable(name->text()));
            QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) <= name->width());
            QCOMPARE(name->toolTip(), longName);

            // A long folder shows its start.
            auto* box = part<QLineEdit>(f, "InitDirSave");
            dialogs_->answerFile(deep + u"any.txt");
            pages(f)->setCurrentIndex(0);
            click(f, "InsertDirSave");
            QCOMPARE(box->text(), deep);
            QVERIFY(box->fontMetrics().horizontalAdvance(deep) > box->width());
            QCOMPARE(box->cursorPosition(), 0);
            click(f, "OKButton");
        });
        // The page went to the file named whole.
        QVERIFY(stored(longName).contains("[Editor]"));
    }

    void openListsShowTheirWindowsColours() {
        QVERIFY(writeText(path(u"a.QelW"_s), QString()));
        QVERIFY(writeText(path(u"b.QelW"_s), QString()));
        start();
        editor()->setBackgroundColor(QColor(0, 0, 128));
        editor()->setTextColor(QColor(255, 255, 0));
        openOptions([&](OptionsDialog& f) {
            auto* box = part<QComboBox>(f, "ComboBox1");
            box->showPopup();
            QAbstractItemView* list = box->view();
            QWidget* popup = list->window();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            // The popup as the screen shows it, the list's own window with all in it.
            const QRect item = list->visualRect(box->model()->index(1, 0))
                                   .translated(list->viewport()->mapTo(popup, QPoint()));
            const QImage shown = popup->grab().toImage();
            int background = 0;
            int text = 0;
            for (int x = item.left(); x <= item.right(); ++x) {
                const QColor c = shown.pixelColor(x, item.center().y());
                background += c == QColor(0, 0, 128);
                text += c.red() > 128 && c.green() > 128 && c.blue() < 100;
            }
            box->hidePopup();
            QVERIFY2(background > item.width() / 2, qPrintable(u"%1"_s.arg(background)));
            QVERIFY(text > 0);
            click(f, "CancelButton");
        });
    }

    // A hand-edited configuration whose path holds a NUL names no file: nothing is
    // written under the name the NUL would cut it to.
    void aPathHoldingANulNamesNoFile() {
        const QByteArray cut = QFile::encodeName(path(u"cut"_s));
        QVERIFY(writeBytes(path(u"DefaultConfig.Qel"_s),
                           "[UseQelWFile]\r\nSub1=" + cut + QByteArray(1, '\0') + ".QelW\r\n"));
        start();
        openOptions([&](OptionsDialog& f) {
            QCOMPARE(f.settingsFilePath(1), path(u"cut"_s) + QChar(0) + u".QelW");
            click(f, "OKButton");
        });
        QVERIFY(exitProgram());
        QVERIFY(!QFileInfo::exists(path(u"cut"_s)));
        QVERIFY(QFileInfo::exists(path(u"DefaultSub1.QelW"_s))); // the page, as always
    }

    void folderChoosersKeepTheFolderOfAnyNameTyped() {
        QVERIFY(QDir(folder()).mkdir(u"notes"_s));
        start();
        openOptions([&](OptionsDialog& f) {
            FileRequest expected;
            expected.title = u"使用したいフォルダのファイルをどれかひとつ選択してください"_s;
            expected.filters = documentFileFilters(false);
            expected.selectedFilter = kDocumentFilterSelected;
            expected.startFolder = folder();
            expected.hideReadOnly = true;
            expected.pathMustExist = true;
            dialogs_->answerFile(path(u"notes/not there yet.txt"_s));
            click(f, "InsertDirSave");
            QCOMPARE(dialogs_->calls().last().file, expected);
            QCOMPARE(text(f, "InitDirSave"), path(u"notes/"_s));
            QCOMPARE(hint(f, "InitDirSave"), path(u"notes/"_s));
            QCOMPARE(text(f, "InitDirOpen"), folder());

            dialogs_->answerFile(std::nullopt);
            click(f, "InsertDirOpen");
            QCOMPARE(text(f, "InitDirOpen"), folder());
            // The chooser opens in the folder the box names.
            dialogs_->answerFile(path(u"x"_s));
            click(f, "InsertDirSave");
            QCOMPARE(dialogs_->calls().last().file.startFolder, path(u"notes/"_s));
            QCOMPARE(text(f, "InitDirSave"), folder());
            QTest::keyClick(&f, Qt::Key_Escape); // Escape is Cancel
        });
        QVERIFY(!QFile::exists(path(u"DefaultConfig.Qel"_s)));
    }

    void configurationButtonsSaveAtOnceAndLoadOnlyTheChoices() {
        QVERIFY(QDir(folder()).mkdir(u"sets"_s));
        QVERIFY(writeText(path(u"Third.QelW"_s), u"[Form]\nWindowName=Third\n"_s));
        start();
        const FileRequest expected =
            settingsFileRequest(u"QelEditor設定指定ファイル (*.Qel)"_s, u"Qel"_s);
        openOptions([&](OptionsDialog& f) {
            part<QLineEdit>(f, "InitDirOpen")->setText(u"/somewhere/else/"_s);
            dialogs_->answerFile(path(u"sets/mine.Qel"_s));
            click(f, "BitBtn21");
            FileRequest save = expected;
            save.overwritePrompt = true;
            QCOMPARE(dialogs_->calls().last().file, save);
            QVERIFY(stored(u"sets/mine.Qel"_s).endsWith("Load=/somewhere/else/\r\n"));
            QVERIFY(f.close()); // closed by the window system: as Cancel
        });
        // Saved, but not made the one in use.
        QVERIFY(!QFile::exists(path(u"QelEditor.ini"_s)));

        QVERIFY(writeText(
            path(u"sets/other.Qel"_s),
            u"[UseQelWFile]\nSub3=%1Third.QelW\n[InitialFolder]\nSave=/a/\n"_s.arg(folder())));
        openOptions([&](OptionsDialog& f) {
            QCOMPARE(f.configFilePath(), path(u"DefaultConfig.Qel"_s));
            dialogs_->answerFile(path(u"sets/other.Qel"_s));
            click(f, "BitBtn22");
            FileRequest open = expected;
            open.fileMustExist = true;
            QCOMPARE(dialogs_->calls().last().file, open);
            QCOMPARE(text(f, "InitDirSave"), u"/a/"_s);
            QCOMPARE(hint(f, "InitDirSave"), u"/a/"_s);
            QCOMPARE(text(f, "InitDirOpen"), folder());
            QCOMPARE(part<QComboBox>(f, "ComboBox4")->currentText(), u"Third.QelW"_s);
            QCOMPARE(text(f, "Sub3IniName"), u"DefaultSub3.QelW"_s); // the pages stay
            click(f, "OKButton");
        });
        QCOMPARE(stored(u"QelEditor.ini"_s),
                 cp932::encode(u"[Config]\nIniFile=%1sets/other.Qel\n"_s.arg(folder())));
        QVERIFY(stored(u"DefaultSub3.QelW"_s).contains("WindowName=SubWindow3\r\n"));
        QCOMPARE(subWindow(3)->windowName(), u"Third"_s);
        QVERIFY(stored(u"sets/other.Qel"_s).contains("Save=/a/\r\n"));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"

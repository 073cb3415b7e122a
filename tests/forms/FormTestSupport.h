#pragma once

// What the window tests share: a program folder of their own with every question
// answered from a script, the windows started and ended as the user does, and the
// keyboard and mouse.

#include "datetime/NameTables.h"
#include "forms/FileListWindow.h"
#include "forms/MainWindow.h"
#include "forms/SubWindow.h"
#include "forms/WindowSet.h"
#include "platform/ByteEditor.h"
#include "platform/Clock.h"
#include "platform/Printers.h"
#include "platform/ScriptedDialogs.h"
#include "platform/StatusPanels.h"
#include "platform/WindowPlacement.h"
#include "recovery/EditJournal.h"
#include "settings/ProgramFolder.h"
#include "text/Cp932.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <utility>

namespace qel::testing {

using namespace Qt::StringLiterals;

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Text as the program writes it: code page 932, CR LF.
inline bool writeText(const QString& path, const QString& text) {
    return writeBytes(path, cp932::encode(text));
}

// Types as the keyboard (or an input method) would, Japanese included.
inline void type(QWidget* target, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

// Drops `files` on `target` as the window system does; true when the drop was taken
// as a copy.
inline bool dropFiles(QWidget* target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return enter.isAccepted() && event.isAccepted() && event.dropAction() == Qt::CopyAction;
}

// The same on an editor, whose drops arrive at its viewport.
inline bool drop(ByteEditor* editor, const QStringList& files) {
    return dropFiles(editor->viewport(), files);
}

inline bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

inline QAbstractButton* button(QWidget& form, const char* name) {
    return form.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

inline bool isTicked(QWidget& form, const char* name) {
    return button(form, name)->isChecked();
}

inline bool isEnabled(QWidget& form, const char* name) {
    return button(form, name)->isEnabled();
}

// Clicks a control the way a user would; it has to be shown and enabled.
inline void click(QWidget& form, const char* name) {
    QAbstractButton* b = button(form, name);
    QVERIFY2(b && b->isVisible() && b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

inline void setTicked(QWidget& form, const char* name, bool on) {
    QVERIFY2(button(form, name), name);
    if (isTicked(form, name) != on)
        click(form, name);
}

// The date and time format dialog worked through to: era year with units, months and
// days without a leading zero, the long weekday, the 12-hour clock with 午前/午後, no
// seconds; then OK.
inline int chooseEraTwelveHourFormat(QDialog& dialog) {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return -1;
    click(dialog, "Tanni");
    click(dialog, "Wareki");
    for (const char* name :
         {"Month0Hyouji", "Day0Hyouji", "YoubiRyaku", "YoubiKakko", "Ji0Hyouji", "ByouCheck"})
        setTicked(dialog, name, false);
    click(dialog, "Ji12");
    click(dialog, "GozennGogo");
    click(dialog, "BitBtn1");
    return dialog.result();
}

// An editor's look in one line: face, size and style, text and background colours.
inline QString look(const ByteEditor* e) {
    const QFont f = e->font();
    QString style;
    for (auto [on, name] :
         {std::pair{f.bold(), u",bold"}, {f.italic(), u",italic"}, {f.underline(), u",underline"}})
        style += on ? QString::fromUtf16(name) : QString();
    return u"%1,%2%3 %4/%5"_s.arg(f.family())
        .arg(f.pointSize())
        .arg(style, e->textColor().name(), e->backgroundColor().name());
}

inline QStringList fourTimes(const QString& text) {
    return {text, text, text, text};
}

// A menu or tool bar as a list: command names, "-" for a separator and "[title]" for a
// submenu.
inline QStringList entries(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) {
        if (a->isSeparator())
            out << u"-"_s;
        else if (a->menu())
            out << u"["_s + a->text() + u"]";
        else
            out << a->objectName();
    }
    return out;
}

inline QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions)
        out << a->text();
    return out;
}

inline QStringList words(const char16_t* list) {
    return QString::fromUtf16(list).split(u' ');
}

// Each test runs the program in a folder of its own, every question answered from the
// script in dialogs_. A question the test did not script, or an answer left over,
// fails the test. Call setUp() from init() and tearDown() from cleanup().
class ProgramFixture {
protected:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<WindowSet> windows_;
    NameTables names_;

    QString path(const QString& name) const { return folder_->filePath(name); }
    QString folder() const { return folder_->path() + u'/'; }

    // The running program's windows.
    MainWindow* mainWindow() const { return &windows_->mainWindow(); }
    SubWindow* subWindow(int number) const { return &windows_->subWindow(number); }
    FileListWindow* fileListWindow() const { return &windows_->fileListWindow(); }

    // The main window's commands and menu items, by name.
    QAction* command(const char* name) const {
        return mainWindow()->commands().action(QString::fromLatin1(name));
    }
    QAction* item(const char* name) const {
        return mainWindow()->commands().item(QString::fromLatin1(name));
    }
    StatusPanels* panels() const { return mainWindow()->findChild<StatusPanels*>(u"StatusBar1"_s); }
    QString panel(int index) const { return panels()->panelText(index); }
    ByteEditor* editor() const { return mainWindow()->editor(); }

    // The texts of the main editor and of the three sub-window editors.
    QStringList allTexts() const {
        return {editor()->text(), subWindow(1)->editor()->text(), subWindow(2)->editor()->text(),
                subWindow(3)->editor()->text()};
    }

    // Starts the program; a program still running is ended first, without closing.
    void start(const QStringList& arguments = {}) {
        windows_.reset();
        windows_ = std::make_unique<WindowSet>(arguments);
    }
    // Ends the program as the user does: the main window closes and stores everything.
    bool exitProgram() {
        const bool closed = mainWindow()->close();
        windows_.reset();
        return closed;
    }

    void setUp() {
        names_ = currentNameTables();
        folder_ = std::make_unique<QTemporaryDir>();
        setProgramFolder(folder());
        dialogs_ = std::make_unique<ScriptedDialogs>();
        setInstalledPrinterCountForTesting(0);
        // The journal of unsaved edits is written when a test asks for it, never by a
        // timer in the middle of a test that starts the program again.
        recovery::EditJournal::setFlushDelay(std::chrono::hours(1));
    }

    void tearDown() {
        windows_.reset();
        const QList<ScriptedDialogs::Call> unexpected = dialogs_->unexpectedCalls();
        const int pending = dialogs_->pendingAnswers();
        dialogs_.reset();
        setProgramFolder(QString());
        setInstalledPrinterCountForTesting(0);
        setCurrentNameTables(names_);
        pinClock(QDateTime());
        recovery::EditJournal::setFlushDelay(std::chrono::seconds(1));
        folder_.reset();
        QVERIFY2(unexpected.isEmpty(),
                 qPrintable(u"unexpected dialog: "_s + unexpected.value(0).kind));
        QCOMPARE(pending, 0);
    }
};

} // namespace qel::testing

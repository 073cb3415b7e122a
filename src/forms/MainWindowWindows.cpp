// The main window's window commands: sub-windows, file list, the two dialogs, and the
// appearance and printing commands.
#include "MainWindow.h"

#include "DateTimeFormatDialog.h"
#include "FileListWindow.h"
#include "OptionsDialog.h"
#include "SubWindow.h"
#include "platform/ByteEditor.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QPrinter>

namespace qel {

namespace {

void setHint(QAction* action, const QString& hint) {
    action->setToolTip(hint);
    action->setStatusTip(hint);
}

} // namespace

void MainWindow::toggleSubWindow(int number) {
    SubWindow* w = subWindow(number);
    if (!w)
        return;
    const SubWindowTraits& names = w->traits();
    QAction* command = commands_.action(QString::fromUtf16(names.openCommand));
    QAction* button = commands_.item(QString::fromUtf16(names.toolButton));
    if (w->isMinimized()) {
        w->showNormal();
        command->setChecked(true);
        return;
    }
    if (w->isHidden()) {
        w->show();
        w->followMainDocument();
        command->setChecked(true);
        setHint(button, QString::fromUtf16(names.closeHint));
    } else {
        w->hide();
        command->setChecked(false);
        setHint(button, QString::fromUtf16(names.openHint));
    }
}

void MainWindow::showSubWindowOnTop(int number) {
    SubWindow* w = subWindow(number);
    if (!w)
        return;
    if (w->isVisible()) {
        w->raise();
        w->activateWindow();
    } else {
        toggleSubWindow(number);
    }
    if (!w->staysOnTop())
        w->toggleStayOnTop();
    else // the command's check mark stays with the window's state
        commands_.action(QString::fromUtf16(w->traits().onTopCommand))->setChecked(true);
}

void MainWindow::toggleFileList() {
    QAction* command = commands_.action(QStringLiteral("OpenFileList"));
    FileListWindow* list = fileListWindow_;
    if (!list)
        return;
    if (list->isMinimized()) {
        list->showNormal();
        command->setChecked(true);
        return;
    }
    if (list->isVisible()) {
        list->hide();
        command->setChecked(false);
        setHint(command, QStringLiteral("ファイルリストを開きます"));
    } else {
        list->show();
        command->setChecked(true);
        setHint(command, QStringLiteral("ファイルリストを閉じます"));
    }
}

void MainWindow::activateMainWindow() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::showOptionsDialog() {
    {
        OptionsDialog form(*this);
        dialogs().exec(form);
    }
    updateFontHint();
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->updateFontHint();
}

void MainWindow::showDateTimeFormatDialog() {
    {
        DateTimeFormatDialog form(dateTimeFormat_, this);
        dialogs().exec(form);
    }
    updateFormatPanel();
}

void MainWindow::chooseFont() {
    FontRequest request;
    request.minSize = 8;
    request.maxSize = 48;
    request.effects = false;
    const std::optional<FontChoice> chosen =
        dialogs().chooseFont({editor_->font(), editor_->textColor()}, request);
    if (!chosen)
        return;
    QFont font = chosen->font;
    // No effects are offered: underline and strike-out stay as they were.
    font.setUnderline(editor_->font().underline());
    font.setStrikeOut(editor_->font().strikeOut());
    editor_->setFont(font);
    updateFontInfo();
    updateFontHint();
}

void MainWindow::chooseBackgroundColor() {
    const std::optional<QColor> chosen = dialogs().chooseColor(editor_->backgroundColor());
    if (!chosen)
        return;
    QPalette p = fontInfo_->palette();
    p.setColor(QPalette::Window, *chosen);
    fontInfo_->setPalette(p);
    editor_->setBackgroundColor(*chosen);
}

void MainWindow::chooseTextColor() {
    const std::optional<QColor> chosen = dialogs().chooseColor(editor_->textColor());
    if (!chosen)
        return;
    QPalette p = fontInfo_->palette();
    p.setColor(QPalette::WindowText, *chosen);
    fontInfo_->setPalette(p);
    editor_->setTextColor(*chosen);
}

void MainWindow::print() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    PrintRequest request;
    request.printToFileShown = true;
    request.printToFileChecked = true;
    if (!dialogs().print(*printer_, request))
        return;
    printer_->setDocName(documentPath_);
    // The whole text is printed, whatever page range or selection was chosen.
    printer_->setPrintRange(QPrinter::AllPages);
    editor_->print(printer_.get());
}

void MainWindow::setUpPrinter() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    dialogs().printerSetup(*printer_);
}

} // namespace qel

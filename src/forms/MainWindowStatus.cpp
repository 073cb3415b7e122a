// The main window's status bar, information line, font hint and view commands.
#include "MainWindow.h"

#include "SubWindow.h"

#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/StatusPanels.h"

#include <QLabel>
#include <QTimer>

namespace qel {

void MainWindow::onTextChanged() {
    updateModifiedMark();
    if (!statusBar_->isHidden()) {
        const qsizetype size = editor_->byteLength();
        const int wanted = sizePanelWidth(size);
        if (statusBar_->panelWidth(1) != wanted)
            statusBar_->setPanelWidth(1, wanted);
        statusBar_->setPanelText(1, sizePanelText(editor_->lineCount(), size));
        statusBar_->setPanelText(2, modified_ ? QString::fromUtf16(kModifiedPanelText) : QString());
    }
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->followMainDocument();
}

void MainWindow::updateCaretPanel() {
    statusBar_->setPanelText(0, caretPanelText(editor_->caretLine(), editor_->caretColumn()));
}

void MainWindow::updateFontInfo() {
    fontInfo_->setFont(editor_->font());
    fontInfo_->setText(fontInfoText(editor_->font()));
    QPalette p = fontInfo_->palette();
    p.setColor(QPalette::WindowText, editor_->textColor());
    fontInfo_->setPalette(p);
}

void MainWindow::updateFontHint() {
    editor_->setHint(fontHintText(editor_->font()));
}

void MainWindow::updateFormatPanel() {
    statusBar_->setPanelText(3, dateTimeFormat_.dateTimeFormat);
}

// Printing needs a printer when the program starts. The print system is asked once the
// window is up, on a thread of its own, so that showing the window does not wait for
// it; until it has answered, printing is off.
void MainWindow::countPrinters() {
    updatePrintCommands();
    if (printerCountReady())
        return;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll] {
        startCountingPrinters();
        poll->setInterval(20);
        if (!printerCountReady())
            return;
        poll->deleteLater();
        updatePrintCommands();
    });
    poll->start(0);
}

void MainWindow::updatePrintCommands() {
    const bool any = printerCountReady() && installedPrinterCount() > 0;
    for (const char16_t* name : {u"Print", u"PrintC"})
        if (QAction* a = commands_.action(QString::fromUtf16(name)))
            a->setEnabled(any);
}

void MainWindow::toggleVisible(const QString& name, QWidget* target, const QString& shownHint,
                               const QString& hiddenHint) {
    QAction* a = commands_.action(name);
    const bool show = target->isHidden();
    target->setVisible(show);
    a->setChecked(show);
    const QString hint = show ? shownHint : hiddenHint;
    a->setToolTip(hint);
    a->setStatusTip(hint);
}

void MainWindow::toggleToolBar() {
    toggleVisible(QStringLiteral("VisibleToolBar"), toolBarStrip_,
                  QStringLiteral("ツールバーを隠します"), QStringLiteral("ツールバーを表示します"));
}

void MainWindow::toggleStatusBar() {
    toggleVisible(QStringLiteral("VisibleStatusBar"), statusBar_,
                  QStringLiteral("ステータスバーを隠します"),
                  QStringLiteral("ステータスバーを表示します"));
}

void MainWindow::toggleFontInfo() {
    const bool show = fontInfo_->isHidden();
    commands_.action(QStringLiteral("VisibleStaticText"))->setChecked(show);
    fontInfo_->setVisible(show);
    showFontHints(show);
}

void MainWindow::showFontHints(bool on) {
    editor_->setShowHint(on);
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->editor()->setShowHint(on);
}

bool MainWindow::isFontInfoShown() const {
    return !fontInfo_->isHidden();
}

} // namespace qel

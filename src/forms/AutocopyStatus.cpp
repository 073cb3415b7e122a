// The main window's status bar, information line, font hint and view commands.
#include "Autocopy.h"

#include "Subw.h"

#include "document/DocumentRules.h"
#include "platform/ByteEditor.h"
#include "platform/Printers.h"
#include "platform/StatusPanels.h"

#include <QLabel>

namespace qel {

void TMainForm::RichEdit1Change() {
    ChangeCaptionModified();
    if (!statusBar_->isHidden()) {
        const qsizetype size = editor_->byteLength();
        const int wanted = sizePanelWidth(size);
        if (statusBar_->panelWidth(1) != wanted)
            statusBar_->setPanelWidth(1, wanted);
        statusBar_->setPanelText(1, sizePanelText(editor_->lineCount(), size));
        statusBar_->setPanelText(2, modifiedFlag_ == 1 ? QString::fromUtf16(kModifiedPanelText)
                                                       : QString());
    }
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->ChangeSubText();
}

void TMainForm::GetCaretPosition() {
    statusBar_->setPanelText(0, caretPanelText(editor_->caretLine(), editor_->caretColumn()));
}

void TMainForm::StaticTextChange() {
    staticText_->setFont(editor_->font());
    staticText_->setText(fontInfoText(editor_->font()));
    QPalette p = staticText_->palette();
    p.setColor(QPalette::WindowText, editor_->textColor());
    staticText_->setPalette(p);
}

void TMainForm::EditHintChange() {
    editor_->setHint(fontHintText(editor_->font()));
}

void TMainForm::ChangeFormatSBText() {
    statusBar_->setPanelText(3, dateTimeFormat_.dateTimeFormat);
}

void TMainForm::PrinterCheck() {
    const bool any = installedPrinterCount() > 0;
    for (const char16_t* name : {u"Print", u"PrintC"})
        if (QAction* a = commands_.action(QString::fromUtf16(name)))
            a->setEnabled(any);
}

void TMainForm::setVisibleCommand(const QString& name, QWidget* target, const QString& shownHint,
                                  const QString& hiddenHint) {
    QAction* a = commands_.action(name);
    const bool show = target->isHidden();
    target->setVisible(show);
    a->setChecked(show);
    const QString hint = show ? shownHint : hiddenHint;
    a->setToolTip(hint);
    a->setStatusTip(hint);
}

void TMainForm::VisibleToolBarExecute() {
    setVisibleCommand(QStringLiteral("VisibleToolBar"), pageScroller_,
                      QStringLiteral("ツールバーを隠します"),
                      QStringLiteral("ツールバーを表示します"));
}

void TMainForm::VisibleStatusBarExecute() {
    setVisibleCommand(QStringLiteral("VisibleStatusBar"), statusBar_,
                      QStringLiteral("ステータスバーを隠します"),
                      QStringLiteral("ステータスバーを表示します"));
}

void TMainForm::VisibleStaticTextExecute() {
    const bool show = staticText_->isHidden();
    commands_.action(QStringLiteral("VisibleStaticText"))->setChecked(show);
    staticText_->setVisible(show);
    applyHintDisplay(show);
}

void TMainForm::applyHintDisplay(bool on) {
    editor_->setShowHint(on);
    for (int n = 1; n <= 3; ++n)
        if (SubWindow* w = subWindow(n))
            w->editor()->setShowHint(on);
}

bool TMainForm::isStaticTextShown() const {
    return !staticText_->isHidden();
}

} // namespace qel

#pragma once

#include "platform/Dialogs.h"

namespace qel {

// The Dialogs service of the running program: Qt's own dialogs, owned by the active
// window. Message boxes are captioned with applicationTitle().
//
// File dialogs are Qt's widget dialogs, so that every FileRequest field takes effect
// on every platform. Qt has no "open as read-only" box, so hideReadOnly is always
// met. A save request with pathMustExist refuses a name in a folder that does not
// exist and asks again.
//
// chooseFont shows the font and, when effects are offered, a colour button in one
// dialog: OK takes both, Cancel neither. The dialog starts on the style that shows the
// font as it is, and gives back only what the user changed in it: OK with nothing
// chosen gives the font back as it was. A size outside the request's limits is
// refused with a message and the dialog stays open for another choice. Without
// effects, underline, strike-out and colour stay as they were in `initial`.
//
// print shows the print-to-file choice only when asked; when it is to be checked, the
// printer is switched to PDF output with a file name in the documents folder, named
// after the printer's document name, unless it already has one.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    int choose(const Choice& choice) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    QStringList openFiles(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                         const FontRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool print(QPrinter& printer, const PrintRequest& request) override;
    bool printerSetup(QPrinter& printer) override;
    int exec(QDialog& dialog) override;
    void showException(const QString& text) override;

    // The window the dialogs belong to: the open modal dialog, else the active window.
    static QWidget* dialogParent();
};

} // namespace qel

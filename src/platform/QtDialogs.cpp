#include "platform/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <cstdlib>
#include <limits>

namespace qel {

namespace {

void showBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

enum class FileMode { Open, OpenMany, Save };

// The height of the font dialog's sample: a line of a large font fits.
constexpr int kSampleHeight = 80;

// The first of `files` whose folder does not exist, or an empty string.
QString missingFolder(const QStringList& files) {
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!info.absoluteDir().exists())
            return QDir::toNativeSeparators(info.absolutePath());
    }
    return {};
}

// The index of the filter the dialog reports; it reports filters without the
// pattern details it hides.
int filterIndex(const QStringList& filters, const QString& selected) {
    for (int i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + u" ("))
            return i;
    return -1;
}

QStringList askForFiles(const FileRequest& request, FileMode mode) {
    QString folder = request.startFolder;
    QString name = request.proposedName;
    int filter = request.selectedFilter;
    for (;;) {
        QFileDialog dialog(QtDialogs::dialogParent(), request.title);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        switch (mode) {
        case FileMode::Open:
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
            break;
        case FileMode::OpenMany:
            // Qt has no mode for several files that need not exist.
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFiles);
            break;
        case FileMode::Save:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
        }
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        if (!request.filters.isEmpty()) {
            // The program's descriptions carry their own pattern text; the patterns
            // Qt needs in parentheses stay out of sight.
            dialog.setOption(QFileDialog::HideNameFilterDetails);
            dialog.setNameFilters(request.filters);
            if (filter >= 0 && filter < request.filters.size())
                dialog.selectNameFilter(request.filters.at(filter));
        }
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!folder.isEmpty())
            dialog.setDirectory(folder);
        if (!name.isEmpty())
            dialog.selectFile(name);

        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList files = dialog.selectedFiles();
        const QString missing = request.pathMustExist ? missingFolder(files) : QString();
        if (missing.isEmpty())
            return files;

        showBox(
            QMessageBox::Warning,
            QStringLiteral("フォルダー「%1」が見つかりません。\n別のフォルダーを選んでください。")
                .arg(missing),
            QtDialogs::dialogParent());
        folder = dialog.directory().absolutePath();
        name = files.isEmpty() ? QString() : QFileInfo(files.first()).fileName();
        filter = filterIndex(request.filters, dialog.selectedNameFilter());
    }
}

double pointSize(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

// Why the size of `font` is refused, or an empty string when it is within the limits.
QString sizeRefusal(const QFont& font, const FontRequest& request) {
    const int size = qRound(pointSize(font));
    const bool tooSmall = request.minSize > 0 && size < request.minSize;
    const bool tooLarge = request.maxSize > 0 && size > request.maxSize;
    if (!tooSmall && !tooLarge)
        return {};
    if (request.minSize > 0 && request.maxSize > 0)
        return QStringLiteral("サイズは %1 から %2 ポイントまでの値を選んでください。")
            .arg(request.minSize)
            .arg(request.maxSize);
    if (tooSmall)
        return QStringLiteral("サイズは %1 ポイント以上の値を選んでください。")
            .arg(request.minSize);
    return QStringLiteral("サイズは %1 ポイント以下の値を選んでください。").arg(request.maxSize);
}

// Qt's font dialog has two groups: the effects (underline and strike-out: the one
// holding check boxes), which it cannot be told to leave out, and the sample, which
// shrinks to nothing without the effects beside it.
void arrangeGroups(QFontDialog* fonts, bool effects) {
    const QList<QGroupBox*> groups = fonts->findChildren<QGroupBox*>();
    for (QGroupBox* group : groups) {
        if (!group->findChildren<QCheckBox*>().isEmpty()) {
            group->setVisible(effects);
        } else {
            for (QLineEdit* sample : group->findChildren<QLineEdit*>())
                sample->setMinimumHeight(kSampleHeight);
        }
    }
}

// A family as the dialog lists it, without the foundry it adds to tell families of
// the same name apart ("Nimbus Sans [urw]").
QString withoutFoundry(const QString& family) {
    const qsizetype bracket = family.lastIndexOf(u" [");
    return bracket > 0 && family.endsWith(u']') ? family.left(bracket) : family;
}

// The style of the font's family that shows the font as it is: its slant and weight
// (or the nearest), at the family's ordinary width. Empty when the family has no
// styles (it is not installed). The dialog would otherwise take a style named like
// the font's ("Normal"), or its first one when the family has no such name.
QString styleShowing(const QFont& font) {
    const QString family = font.family();
    QString best;
    qint64 bestRank = std::numeric_limits<qint64>::max();
    for (const QString& style : QFontDatabase::styles(family)) {
        const bool widthNamed = style.contains(u"Condensed") || style.contains(u"Expanded") ||
                                style.contains(u"Narrow") || style.contains(u"Wide");
        const qint64 rank =
            (QFontDatabase::italic(family, style) != font.italic() ? 1'000'000 : 0) +
            std::abs(QFontDatabase::weight(family, style) - font.weight()) * 1'000 +
            (widthNamed ? 500 : 0) + style.size();
        if (rank < bestRank) {
            bestRank = rank;
            best = style;
        }
    }
    return best;
}

// What the user chose, laid over `initial`: only what was changed in the dialog (the
// family, the style, the size, the effects) is taken from it, so that OK with nothing
// chosen gives `initial` back exactly, also for a family the machine lacks.
QFont chosenFont(const QFont& initial, const QFont& shown, const QFont& now, bool effects) {
    QFont font = initial;
    if (now.family() != shown.family())
        font.setFamily(withoutFoundry(now.family()));
    if (now.styleName() != shown.styleName() || now.weight() != shown.weight() ||
        now.italic() != shown.italic()) {
        font.setWeight(now.weight());
        font.setItalic(now.italic());
    }
    if (now.pointSizeF() != shown.pointSizeF())
        font.setPointSizeF(now.pointSizeF());
    if (effects) {
        font.setUnderline(now.underline());
        font.setStrikeOut(now.strikeOut());
    }
    return font;
}

QIcon swatch(const QColor& color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color.isValid() ? color : QColor(Qt::black));
    return QIcon(pixmap);
}

QString pdfFileName(const QPrinter& printer) {
    QString base = QFileInfo(printer.docName()).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("印刷");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(base + u".pdf");
}

} // namespace

QWidget* QtDialogs::dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void QtDialogs::message(const QString& text) {
    showBox(QMessageBox::Information, text, dialogParent());
}

Answer QtDialogs::askYesNoCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, applicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

int QtDialogs::choose(const Choice& choice) {
    QMessageBox box(QMessageBox::Question, applicationTitle(), choice.text, QMessageBox::NoButton,
                    dialogParent());
    QList<QAbstractButton*> buttons;
    for (const QString& caption : choice.buttons)
        buttons.append(box.addButton(caption, QMessageBox::ActionRole));
    if (choice.defaultButton >= 0 && choice.defaultButton < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.at(choice.defaultButton)));
    if (choice.escapeButton >= 0 && choice.escapeButton < buttons.size())
        box.setEscapeButton(buttons.at(choice.escapeButton));
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed >= 0 ? int(pressed) : choice.escapeButton;
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request) {
    const QStringList files = askForFiles(request, FileMode::Open);
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

QStringList QtDialogs::openFiles(const FileRequest& request) {
    return askForFiles(request, FileMode::OpenMany);
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request) {
    const QStringList files = askForFiles(request, FileMode::Save);
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& initial,
                                                const FontRequest& request) {
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(QStringLiteral("フォント"));

    auto* fonts = new QFontDialog(&dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QFont start = initial.font;
    if (const QString style = styleShowing(start); !style.isEmpty())
        start.setStyleName(style);
    fonts->setCurrentFont(start);
    const QFont shown = fonts->currentFont();

    QColor color = initial.color;
    auto* colorButton = new QPushButton(QStringLiteral("色(&C)..."), &dialog);
    colorButton->setObjectName(QStringLiteral("colorButton"));
    colorButton->setIcon(swatch(color));
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        QColorDialog picker(color, &dialog);
        if (picker.exec() == QDialog::Accepted) {
            color = picker.currentColor();
            colorButton->setIcon(swatch(color));
        }
    });
    arrangeGroups(fonts, request.effects);
    if (!request.effects)
        colorButton->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorButton);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    const auto tryAccept = [&] {
        const QString refusal = sizeRefusal(fonts->currentFont(), request);
        if (refusal.isEmpty()) {
            dialog.accept();
            return;
        }
        showBox(QMessageBox::Warning, refusal, &dialog);
    };
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, tryAccept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The embedded font dialog still closes itself on Escape (and would on Enter); it
    // speaks for the whole dialog then.
    QObject::connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);
    QObject::connect(fonts, &QDialog::accepted, &dialog, [&] {
        fonts->show();
        tryAccept();
    });

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    return FontChoice{chosenFont(initial.font, shown, fonts->currentFont(), request.effects),
                      request.effects ? color : initial.color};
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial) {
    QColorDialog dialog(initial, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.currentColor();
}

bool QtDialogs::print(QPrinter& printer, const PrintRequest& request) {
    if (request.printToFileChecked) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        if (printer.outputFileName().isEmpty())
            printer.setOutputFileName(pdfFileName(printer));
    }
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, request.printToFileShown);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::printerSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

void QtDialogs::showException(const QString& text) {
    showBox(QMessageBox::Critical, text, dialogParent());
}

} // namespace qel

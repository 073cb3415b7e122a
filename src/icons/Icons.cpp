#include "icons/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace qel {

namespace {

struct IconEntry {
    QStringView command;
    QStringView themeName; // freedesktop icon name; empty where there is no standard one
    QStringView file;      // under :/icons/
};

// In tool-bar order, then the appearance commands of the settings menu.
constexpr std::array<IconEntry, 19> kIcons{{
    {u"FileNew", u"document-new", u"file-new.svg"},
    {u"FileOpenA", u"document-open", u"file-open.svg"},
    {u"FileSave", u"document-save", u"file-save.svg"},
    {u"FileSaveAs", u"document-save-as", u"file-save-as.svg"},
    {u"EditCut1", u"edit-cut", u"edit-cut.svg"},
    {u"EditCopy1", u"edit-copy", u"edit-copy.svg"},
    {u"EditPaste1", u"edit-paste", u"edit-paste.svg"},
    {u"EditDelete1", u"edit-delete", u"edit-delete.svg"},
    {u"EditSelectAll1", u"edit-select-all", u"edit-select-all.svg"},
    {u"EditUndo1", u"edit-undo", u"edit-undo.svg"},
    {u"OpenProperty", u"preferences-system", u"settings.svg"},
    {u"OpenDateTimeFormat", u"", u"date-time-format.svg"},
    {u"OpenFileList", u"", u"file-list.svg"},
    {u"OpenSubWindow", u"", u"sub-window-1.svg"},
    {u"OpenSubWindow2", u"", u"sub-window-2.svg"},
    {u"OpenSubWindow3", u"", u"sub-window-3.svg"},
    {u"FontChange", u"", u"font.svg"},
    {u"FontColorChange", u"", u"font-color.svg"},
    {u"ColorChange", u"", u"back-color.svg"},
}};

const IconEntry* findEntry(const QString& command) {
    for (const IconEntry& entry : kIcons) {
        if (entry.command == command)
            return &entry;
    }
    return nullptr;
}

QString resourcePath(QStringView file) {
    return u":/icons/"_s + file;
}

// The pixel sizes the drawings are rendered at when the program is built (see
// CMakeLists.txt): the tool bar's 15 px (its strip is a pixel short of a 16 px icon)
// and the menus' 16 px, at device pixel ratios from 1 to 3; and the sizes the window
// system is given the application icon at.
constexpr int kCommandSizes[] = {15, 16, 19, 20, 23, 24, 26, 28, 30, 32, 38, 40, 45, 48};
constexpr int kApplicationSizes[] = {16, 32, 64, 128};

// An icon drawn from the pictures rendered at build time. Each is read when first
// shown; at a size that was not rendered, the drawing itself is rendered, so that
// every size looks as the drawing does.
class RenderedIconEngine final : public QIconEngine {
public:
    // `file` is the drawing's, "file-new.svg".
    RenderedIconEngine(QStringView file, std::span<const int> sizes)
        : name_(file.chopped(4).toString()), sizes_(sizes.begin(), sizes.end()) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> out;
        for (const int s : sizes_)
            out << QSize(s, s);
        return out;
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = std::min(size.width(), size.height());
        QIcon& shown = shown_[side];
        if (shown.isNull()) {
            if (std::find(sizes_.begin(), sizes_.end(), side) != sizes_.end())
                shown = QIcon(QPixmap(u":/icons/rendered/%1-%2.png"_s.arg(name_).arg(side)));
            else
                shown = QIcon(resourcePath(QString(name_ + u".svg")));
        }
        // Disabled and selected looks are made from the normal one, as for any icon.
        return shown.pixmap(QSize(side, side), 1.0, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }
    QIconEngine* clone() const override { return new RenderedIconEngine(*this); }
    QString key() const override { return u"qel-rendered"_s; }

private:
    QString name_;
    std::vector<int> sizes_;
    std::map<int, QIcon> shown_;
};

QIcon renderedIcon(QStringView file, std::span<const int> sizes) {
    return QIcon(new RenderedIconEngine(file, sizes));
}

} // namespace

QIcon commandIcon(const QString& commandName) {
    const IconEntry* entry = findEntry(commandName);
    if (!entry)
        return {};
    QIcon own = renderedIcon(entry->file, kCommandSizes);
    // Without an icon theme of the desktop's own there is only the fallback theme
    // (hicolor), which holds applications' icons, not commands': looking there would
    // cost reading its whole index at every start, for the program's own drawing.
    if (entry->themeName.isEmpty() || QIcon::themeName().isEmpty() ||
        QIcon::themeName() == QIcon::fallbackThemeName())
        return own;
    return QIcon::fromTheme(entry->themeName.toString(), own);
}

QIcon applicationIcon() {
    return renderedIcon(u"qeleditor.svg", kApplicationSizes);
}

QStringList iconCommandNames() {
    QStringList names;
    names.reserve(qsizetype(kIcons.size()));
    for (const IconEntry& entry : kIcons)
        names.append(entry.command.toString());
    return names;
}

QString commandIconResource(const QString& commandName) {
    const IconEntry* entry = findEntry(commandName);
    return entry ? resourcePath(entry->file) : QString();
}

QString applicationIconResource() {
    return u":/icons/qeleditor.svg"_s;
}

} // namespace qel

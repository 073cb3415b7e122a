#include "icons/Icons.h"

#include <array>

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

} // namespace

QIcon commandIcon(const QString& commandName) {
    const IconEntry* entry = findEntry(commandName);
    if (!entry)
        return {};
    QIcon own(resourcePath(entry->file));
    if (entry->themeName.isEmpty())
        return own;
    return QIcon::fromTheme(entry->themeName.toString(), own);
}

QIcon applicationIcon() {
    return QIcon(applicationIconResource());
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

#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

// The main window's document rules that need no window: captions, status texts,
// the file dialog filters and the command-line lookup.
namespace qel {

inline constexpr char16_t kUntitledDocument[] = u"UnTitledDoc";
inline constexpr char16_t kModifiedMark[] = u" (変更有り)";

// window name + separator + file name of the path, with the mark when modified.
QString documentCaption(const QString& windowName, const QString& separator,
                        const QString& documentPath, bool modified);

// Panel 0: caret line (from 0) and byte column.
QString caretPanelText(int line, qsizetype column);
// Panel 1: line count and size in bytes.
QString sizePanelText(int lines, qsizetype bytes);
// Panel 1's width for a size: wide from 1024 bytes on.
int sizePanelWidth(qsizetype bytes);
inline constexpr char16_t kModifiedPanelText[] = u"modify";

// The information line: "face,Size:10,Normal".
QString fontInfoText(const QFont& font);
// The editor's pop-up hint: "face, Size:10".
QString fontHintText(const QFont& font);

// The eleven filters of the document dialogs as Qt filter strings (description
// followed by the patterns in parentheses); the save dialog's 9th differs.
QStringList documentFileFilters(bool forSave);
inline constexpr int kDocumentFilterSelected = 9; // the 10th entry

// The command-line argument is a search pattern ("*", "?") for file names, matched
// without regard to letter case. Gives the folder part as typed followed by the name
// of the first matching file in name order, as the file system stores it. An argument
// without wildcards that names a folder is given back as it stands.
std::optional<QString> findCommandLineDocument(const QString& pattern);

} // namespace qel

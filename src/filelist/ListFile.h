#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace qel {

class IniFile;

// List files (".QelL"): the list's entries and look in section List, and which list
// is in use in section FileList of the master settings file. Pure reading and
// writing; what is done with it is the window's business.

inline constexpr char16_t kListFileExtension[] = u"QelL";
inline constexpr char16_t kDefaultListFileName[] = u"default.QelL";
// The path of a list never saved is the program folder followed by this name.
inline constexpr char16_t kNewListName[] = u"新規リスト";
// What an entry key that is missing reads as; no such file is found.
inline constexpr char16_t kMissingEntryPath[] = u"non";

// The save question for the list at `listPath`.
QString listSaveQuestion(const QString& listPath);
// Shown when the list file the master settings file names is not there.
inline constexpr char16_t kListFallbackMessage[] =
    u"設定で指定されたファイルが存在しないので\n「default.QelL」を使用します";

// Colours are the stored values: red in bits 0-7, green 8-15, blue 16-23.
struct ListLook {
    QString font = QStringLiteral("ＭＳ Ｐゴシック");
    int fontSize = 9;
    int fontColor = 0;    // black
    int color = 16777215; // background, white
    std::array<int, 4> columnWidths{250, 60, 92, 800};
    // Whether the date column's width was read from the list file. A list without one
    // has its date column made as wide as a date needs, at least the width above.
    bool dateWidthStored = false;
    friend bool operator==(const ListLook&, const ListLook&) = default;
};

struct ListFileContents {
    ListLook look;
    // Full paths by position; a position without its key reads as kMissingEntryPath.
    QStringList paths;
};

// Reads section List. A width that is missing or no number reads as the default (the
// date column's as not stored). Positions 0 to Count - 1 are read, but none past the highest
// entry key the file holds, so a huge Count costs nothing; a negative or unreadable
// Count reads as 0. A missing file reads as an empty list with the default look.
ListFileContents readListFile(const IniFile& file);
// Writes Font, FontSize, FontColor, Color, Items0Width to Items3Width, Count and one
// key per entry, in that order. Other keys stay, entry keys past Count included.
void writeListFile(IniFile& file, const ListLook& look, const QStringList& paths);

// Section FileList besides the window's place (Top, Left, Height, Width).
struct FileListState {
    bool visible = false;
    QString listFile; // the list file in use
    friend bool operator==(const FileListState&, const FileListState&) = default;
};
FileListState readFileListState(const IniFile& master, const QString& defaultListFile);
// Writes Visible and UseListFile, in that order.
void writeFileListState(IniFile& master, const FileListState& state);
inline constexpr char16_t kFileListSection[] = u"FileList";

} // namespace qel

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qel {

// One settings file of INI syntax (CR LF), opened for one load or save operation. Reads
// and writes work on the lines held in memory; the file is written once, by
// writeWholeFile(), when the object is released (or by commit()), and only if a write
// changed something. Lines the program does not understand are written back byte for
// byte. Opening never fails: a missing or unreadable file reads as empty. A file that
// exists but could not be read is never overwritten, as its content would be lost.
//
// Settings files are small (a list of 10,000 entries is about 1 MB). A file larger than
// kSettingsFileSizeLimit is no settings file, and reading it would hold the program up:
// it is not read, reads as empty and is never written over; so is a path that names no
// file (isUsablePath).
//
// A file is code page 932 as long as everything it holds fits; when a value holds a
// character code page 932 lacks (a path in a folder named "josé"), the whole file is
// written as UTF-8 behind a byte-order mark instead, so that nothing stored turns into
// "?". Reading, a UTF-8 byte-order mark selects UTF-8 and anything else is code page
// 932.
inline constexpr qint64 kSettingsFileSizeLimit = qint64(64) << 20;

class IniFile {
public:
    explicit IniFile(QString path);
    ~IniFile(); // commits; a failure leaves the old file whole and is not reported
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return path_; }

    // Section and key names match without regard to letter case. Blanks around a
    // value and one pair of matching quotes (' or ") around it are stripped.
    QString readString(QStringView section, QStringView key, const QString& defaultValue) const;
    // Decimal with an optional sign within the signed 32-bit range; anything else
    // (empty included) gives the default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    // Read as an integer with the default 1 or 0; non-zero is true.
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;
    // True when the section holds the key.
    bool hasKey(QStringView section, QStringView key) const;

    // Every entry of a section in file order, key and value as the reads above see
    // them; a key written twice appears twice (the reads take the first).
    struct Entry {
        QString key;
        QString value;
    };
    std::vector<Entry> entries(QStringView section) const;

    // A present key is replaced in place; a new key becomes the last entry of its
    // section; a new section is appended at the end. Nothing is ever removed. A line
    // break in a name or value would start a new line in the file, so each one (CR LF,
    // CR or LF) is written as a space.
    void writeString(QStringView section, QStringView key, const QString& value);
    void writeInteger(QStringView section, QStringView key, int value);
    void writeBool(QStringView section, QStringView key, bool value);
    // Writes many keys of one section in one pass over the file; the result is the
    // same as writeString for each pair in turn.
    void writeStrings(QStringView section, std::span<const std::pair<QString, QString>> values);

    // Writes the file now if anything changed. When it cannot be written, throws Error
    // naming the file with the reason (the system's own, or why the file is left
    // alone); the file on disk is then as it was. For a save the user asked for.
    void save();
    // The same, returning false instead of throwing.
    bool commit();

private:
    // The line break a line ended with in the file; lines this program writes end in
    // CR LF. Only the last line of a file can have none.
    enum class Break : quint8 { None, CrLf, Lf, Cr };
    enum class Encoding : quint8 { Cp932, Utf8 };
    struct Line {
        QByteArray raw; // bytes as read (in encoding_), without the line break
        QString text;   // what the line holds
        Break lineBreak = Break::CrLf;
        bool written = false; // changed since it was read: raw no longer holds it
        bool fitsCp932 = true;
    };
    static Line newLine(QStringView text);
    void load();
    qsizetype findSection(QStringView section) const; // index of its header line, or -1
    qsizetype findKey(qsizetype sectionLine, QStringView key) const; // entry line, or -1
    std::optional<QStringView> valueOf(QStringView section, QStringView key) const;
    void setLine(qsizetype index, QStringView text);
    void insertLine(qsizetype index, QStringView text);
    void insertLines(qsizetype index, const QStringList& texts);

    QString path_;
    Encoding encoding_ = Encoding::Cp932; // of the file as read
    QByteArray content_;                  // the file as read; unchanged lines share its bytes
    std::vector<Line> lines_;
    // Why the file is left alone: it exists but could not be read (its content would
    // be lost), or the path names no file. Empty when the file can be written.
    QString leftAlone_;
    bool dirty_ = false;
};

} // namespace qel

#include "IniFile.h"

#include "FileContent.h"
#include "SettingValues.h"
#include "text/Cp932.h"
#include "text/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <new>
#include <utility>

// How a line is understood:
//   - a section header holds a name between square brackets and nothing else (blanks
//     around the brackets and around the name are allowed);
//   - an entry is any other line holding "=": the key is the text before the first "="
//     and the value the text after it, both without surrounding blanks;
//   - everything else (blank lines, lines without "=", lines starting with ";") is
//     ignored on reading and written back as it was.
// Entries before the first section header belong to no section and cannot be read.

namespace qel {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

std::optional<QStringView> sectionName(QStringView line) {
    const QStringView t = trimBlanks(line);
    if (t.size() < 2 || t.front() != u'[' || t.back() != u']')
        return std::nullopt;
    return trimBlanks(t.sliced(1, t.size() - 2));
}

struct Entry {
    QStringView key;
    QStringView value;
};

std::optional<Entry> entryOf(QStringView line) {
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.front() == u';' || sectionName(t))
        return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    Entry e{trimBlanks(t.first(eq)), trimBlanks(t.sliced(eq + 1))};
    // One pair of matching quotes around the value is not part of it.
    const QStringView v = e.value;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        e.value = v.sliced(1, v.size() - 2);
    return e;
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// UTF-8 as settings files hold it. Like code page 932 decoding, it never loses a byte:
// a byte that is no part of a valid sequence becomes a code point of its own, which
// encodes back to that byte. Bytes that code page 932 cannot decode either take the
// same code point as there, so a line keeps its bytes whichever of the two encodings
// the file is written in; the others take U+DC00 + byte.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

char16_t escapedByte(unsigned char byte) {
    const char16_t cp932Byte = cp932::reservedFor(byte);
    return cp932::isReserved(cp932Byte) ? cp932Byte : char16_t(0xDC00 + byte);
}

// The byte a code point read by decodeUtf8() or cp932::decode() stands for, or -1.
int byteOf(char32_t c) {
    if (c <= 0xFFFF && cp932::isReserved(char16_t(c)))
        return int(c - cp932::reservedFor(0));
    if (c >= 0xDC80 && c <= 0xDCFF)
        return int(c - 0xDC00);
    return -1;
}

QString decodeUtf8(QByteArrayView bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* const b = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char lead = b[i];
        if (lead < 0x80) {
            out += QChar(char16_t(lead));
            ++i;
            continue;
        }
        // Sequence length, the smallest code point it may hold, its lead bits.
        int length = 0;
        char32_t minimum = 0, c = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2, minimum = 0x80, c = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, minimum = 0x800, c = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, minimum = 0x10000, c = lead & 0x07;
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (b[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (b[i + k] & 0x3F);
        }
        valid = valid && c >= minimum && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!valid) {
            out += QChar(escapedByte(lead));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(char16_t(c));
        }
        i += length;
    }
    return out;
}

QByteArray encodeUtf8(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 3);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (const int byte = byteOf(c); byte >= 0) {
            out += char(byte); // a byte kept from reading
            continue;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD; // a lone half of a pair has no UTF-8 form
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool fitsCp932(QStringView text) {
    for (const QChar c : text)
        if (!cp932::isRepresentable(c.unicode()))
            return false;
    return true;
}

// A name or value as it can stand on one line of the file.
QString oneLine(QStringView s) {
    QString out = s.toString();
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {
    try {
        load();
    } catch (...) {
        // Out of memory on a huge file: treat it as unreadable.
        lines_.clear();
        content_.clear();
        leftAlone_ = QStringLiteral("メモリが不足しています。");
    }
}

IniFile::~IniFile() {
    commit(); // does not throw
}

void IniFile::load() {
    if (!isUsablePath(path_)) {
        leftAlone_ = unusablePathMessage();
        return;
    }
    const QFileInfo info(path_);
    if (!info.exists())
        return;
    // Directories, pipes and devices are not settings files (and a pipe could block).
    if (!info.isFile()) {
        leftAlone_ = notRegularFileMessage();
        return;
    }
    if (info.size() > kSettingsFileSizeLimit) {
        leftAlone_ = QStringLiteral("設定ファイルとしては大きすぎます（%1 MB を超えています）")
                         .arg(kSettingsFileSizeLimit >> 20);
        return;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        leftAlone_ = file.errorString();
        return;
    }
    content_ = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        content_.clear();
        leftAlone_ = file.errorString();
        return;
    }

    const char* const data = content_.constData();
    const qsizetype size = content_.size();
    qsizetype begin = 0;
    if (content_.startsWith(kByteOrderMark)) {
        encoding_ = Encoding::Utf8;
        begin = 3;
    }
    while (begin < size) {
        qsizetype end = begin;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        Line line;
        // Unchanged lines keep pointing into content_, which lives as long as they do.
        line.raw = QByteArray::fromRawData(data + begin, end - begin);
        if (encoding_ == Encoding::Utf8) {
            line.text = decodeUtf8(line.raw);
            line.fitsCp932 = fitsCp932(line.text);
        } else {
            line.text = cp932::decodeText(line.raw);
        }
        qsizetype next = end;
        if (end == size) {
            line.lineBreak = Break::None;
        } else if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
            line.lineBreak = Break::CrLf;
            next = end + 2;
        } else {
            line.lineBreak = data[end] == '\r' ? Break::Cr : Break::Lf;
            next = end + 1;
        }
        lines_.push_back(std::move(line));
        begin = next;
    }
}

qsizetype IniFile::findSection(QStringView section) const {
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        const auto name = sectionName(lines_[i].text);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::findKey(qsizetype sectionLine, QStringView key) const {
    for (qsizetype i = sectionLine + 1; i < qsizetype(lines_.size()); ++i) {
        const QString& text = lines_[i].text;
        if (sectionName(text))
            break;
        const auto entry = entryOf(text);
        if (entry && sameName(entry->key, key))
            return i;
    }
    return -1;
}

std::optional<QStringView> IniFile::valueOf(QStringView section, QStringView key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return entryOf(lines_[line].text)->value;
}

QString IniFile::readString(QStringView section, QStringView key,
                            const QString& defaultValue) const {
    const auto value = valueOf(section, key);
    return value ? value->toString() : defaultValue;
}

int IniFile::readInteger(QStringView section, QStringView key, int defaultValue) const {
    const auto value = valueOf(section, key);
    if (!value)
        return defaultValue;
    return integerFromText(*value).value_or(defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::hasKey(QStringView section, QStringView key) const {
    return valueOf(section, key).has_value();
}

std::vector<IniFile::Entry> IniFile::entries(QStringView section) const {
    std::vector<Entry> out;
    const qsizetype header = findSection(section);
    if (header < 0)
        return out;
    for (qsizetype i = header + 1; i < qsizetype(lines_.size()); ++i) {
        const QString& text = lines_[i].text;
        if (sectionName(text))
            break;
        if (const auto entry = entryOf(text))
            out.push_back({entry->key.toString(), entry->value.toString()});
    }
    return out;
}

IniFile::Line IniFile::newLine(QStringView text) {
    Line line;
    line.text = text.toString();
    line.written = true;
    line.fitsCp932 = fitsCp932(text);
    return line;
}

void IniFile::setLine(qsizetype index, QStringView text) {
    Line& line = lines_[index];
    if (line.text == text)
        return;
    line = newLine(text);
    dirty_ = true;
}

void IniFile::insertLine(qsizetype index, QStringView text) {
    insertLines(index, QStringList{text.toString()});
}

void IniFile::insertLines(qsizetype index, const QStringList& texts) {
    if (texts.isEmpty())
        return;
    // Only the last line can lack a line break; one is needed before a new line.
    if (index == qsizetype(lines_.size()) && index > 0 && lines_.back().lineBreak == Break::None)
        lines_.back().lineBreak = Break::CrLf;
    std::vector<Line> block;
    block.reserve(size_t(texts.size()));
    for (const QString& text : texts)
        block.push_back(newLine(text));
    // One insertion for the whole block: a long list of new keys costs one move.
    lines_.insert(lines_.begin() + index, std::make_move_iterator(block.begin()),
                  std::make_move_iterator(block.end()));
    dirty_ = true;
}

void IniFile::writeString(QStringView section, QStringView key, const QString& value) {
    const std::pair<QString, QString> entry{key.toString(), value};
    writeStrings(section, std::span(&entry, 1));
}

void IniFile::writeStrings(QStringView section,
                           std::span<const std::pair<QString, QString>> values) {
    if (values.empty())
        return;
    qsizetype header = findSection(section);
    if (header < 0) {
        insertLine(qsizetype(lines_.size()), QString(u'[' + oneLine(section) + u']'));
        header = qsizetype(lines_.size()) - 1;
    }
    // The section's keys (the first line of each, as the reads take it) and the place
    // after its last entry, where a new key goes: blank or unknown lines closing the
    // section stay where they are; right after the header when it has no entry.
    QHash<QString, qsizetype> lineOfKey;
    qsizetype insertAt = header + 1;
    for (qsizetype i = header + 1; i < qsizetype(lines_.size()); ++i) {
        const QString& text = lines_[i].text;
        if (sectionName(text))
            break;
        const auto found = entryOf(text);
        if (!found)
            continue;
        const QString folded = found->key.toString().toCaseFolded();
        if (!lineOfKey.contains(folded))
            lineOfKey.insert(folded, i);
        insertAt = i + 1;
    }
    QStringList added;
    QHash<QString, qsizetype> addedIndex;
    for (const auto& [key, value] : values) {
        const QString entry = oneLine(key) + u'=' + oneLine(value);
        const QString folded = key.toCaseFolded();
        if (const auto line = lineOfKey.constFind(folded); line != lineOfKey.cend())
            setLine(*line, entry);
        else if (const auto at = addedIndex.constFind(folded); at != addedIndex.cend())
            added[*at] = entry;
        else {
            addedIndex.insert(folded, added.size());
            added.append(entry);
        }
    }
    insertLines(insertAt, added);
}

void IniFile::writeInteger(QStringView section, QStringView key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(QStringView section, QStringView key, bool value) {
    writeInteger(section, key, value ? 1 : 0);
}

bool IniFile::commit() {
    try {
        save();
        return true;
    } catch (...) {
        return false;
    }
}

void IniFile::save() {
    if (!dirty_)
        return;
    const auto fail = [this](const QString& reason) {
        throw Error(path_ + u"に書き込めませんでした。\n" + reason);
    };
    if (!leftAlone_.isEmpty())
        fail(leftAlone_);
    try {
        const bool cp932 =
            std::all_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.fitsCp932; });
        const Encoding encoding = cp932 ? Encoding::Cp932 : Encoding::Utf8;
        qsizetype total = 3;
        for (const Line& line : lines_)
            total += (line.written ? line.text.size() * 3 : line.raw.size()) + 2;
        QByteArray bytes;
        bytes.reserve(total);
        if (encoding == Encoding::Utf8)
            bytes += kByteOrderMark;
        for (const Line& line : lines_) {
            // Lines as read keep their bytes while the file keeps its encoding.
            if (!line.written && encoding == encoding_)
                bytes += line.raw;
            else if (encoding == Encoding::Utf8)
                bytes += encodeUtf8(line.text);
            else
                bytes += cp932::encode(line.text);
            switch (line.lineBreak) {
            case Break::None:
                break;
            case Break::CrLf:
                bytes += "\r\n";
                break;
            case Break::Lf:
                bytes += '\n';
                break;
            case Break::Cr:
                bytes += '\r';
                break;
            }
        }
        writeWholeFile(path_, bytes);
        dirty_ = false;
    } catch (const Error& error) {
        fail(error.message());
    } catch (const std::bad_alloc&) {
        fail(QStringLiteral("メモリが不足しています。"));
    }
}

} // namespace qel

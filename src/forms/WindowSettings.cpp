#include "WindowSettings.h"

#include "platform/ByteEditor.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"

#include <algorithm>
#include <climits>

namespace qel {

WindowPlace readPlacement(const IniFile& file, const WindowPlace& defaults, QStringView section) {
    // A default beyond what a file can hold reads as the nearest value it can.
    const auto read = [&](QStringView key, qint64 fallback) {
        return qint64(
            file.readInteger(section, key, int(std::clamp<qint64>(fallback, INT_MIN, INT_MAX))));
    };
    const qint64 top = read(u"Top", defaults.top);
    const qint64 left = read(u"Left", defaults.left);
    const qint64 height = read(u"Height", defaults.height);
    const qint64 width = read(u"Width", defaults.width);
    return WindowPlace(left, top, width, height);
}

void writePlacement(IniFile& file, const QWidget* window, QStringView section) {
    const QRect outer = outerGeometry(window);
    file.writeInteger(section, u"Top", outer.top());
    file.writeInteger(section, u"Left", outer.left());
    file.writeInteger(section, u"Height", outer.height());
    file.writeInteger(section, u"Width", outer.width());
}

void readEditorLook(const IniFile& file, ByteEditor* editor, const EditorLook& defaults) {
    EditorLook look{editor->font(), editor->textColor(), editor->backgroundColor()};
    readEditorLook(file, look, defaults);
    look.font.setStyleHint(QFont::TypeWriter);
    editor->setBackgroundColor(look.background);
    editor->setTextColor(look.text);
    editor->setFont(look.font);
}

void writeEditorLook(IniFile& file, const ByteEditor* editor) {
    writeEditorLook(file, {editor->font(), editor->textColor(), editor->backgroundColor()});
}

} // namespace qel

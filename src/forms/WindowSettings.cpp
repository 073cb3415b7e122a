#include "WindowSettings.h"

#include "platform/ByteEditor.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"

namespace qel {

QRect readPlacement(const IniFile& file, const QRect& defaults, QStringView section) {
    const int top = file.readInteger(section, u"Top", defaults.top());
    const int left = file.readInteger(section, u"Left", defaults.left());
    const int height = file.readInteger(section, u"Height", defaults.height());
    const int width = file.readInteger(section, u"Width", defaults.width());
    return QRect(left, top, width, height);
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

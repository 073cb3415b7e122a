#include "WindowSettings.h"

#include "platform/ByteEditor.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"

namespace qel {

namespace {

const QString kForm = QStringLiteral("Form");

} // namespace

QRect readPlacement(const IniFile& file, const QRect& defaults) {
    const int top = file.readInteger(kForm, u"Top", defaults.top());
    const int left = file.readInteger(kForm, u"Left", defaults.left());
    const int height = file.readInteger(kForm, u"Height", defaults.height());
    const int width = file.readInteger(kForm, u"Width", defaults.width());
    return QRect(left, top, width, height);
}

void writePlacement(IniFile& file, const QWidget* window) {
    const QRect outer = outerGeometry(window);
    file.writeInteger(kForm, u"Top", outer.top());
    file.writeInteger(kForm, u"Left", outer.left());
    file.writeInteger(kForm, u"Height", outer.height());
    file.writeInteger(kForm, u"Width", outer.width());
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

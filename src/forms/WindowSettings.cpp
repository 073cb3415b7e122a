#include "WindowSettings.h"

#include "platform/ByteEditor.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"

namespace qel {

namespace {

const QString kEditor = QStringLiteral("Editor");

} // namespace

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
    editor->setBackgroundColor(
        colorFromValue(file.readInteger(kEditor, u"BackColor", colorValue(defaults.background)),
                       defaults.background));
    QFont font = editor->font();
    font.setFamily(file.readString(kEditor, u"Font", defaults.font.family()));
    font.setPointSize(file.readInteger(kEditor, u"FontSize", defaults.font.pointSize()));
    font.setStyleHint(QFont::TypeWriter);
    editor->setTextColor(colorFromValue(
        file.readInteger(kEditor, u"FontColor", colorValue(defaults.text)), defaults.text));
    applyFontStyleName(font, file.readString(kEditor, u"FontStyle", fontStyleName(defaults.font)));
    editor->setFont(font);
}

void writeEditorLook(IniFile& file, const ByteEditor* editor) {
    const QFont font = editor->font();
    file.writeString(kEditor, u"Font", font.family());
    file.writeString(kEditor, u"FontStyle", fontStyleName(font));
    file.writeInteger(kEditor, u"FontSize", font.pointSize());
    file.writeInteger(kEditor, u"FontColor", colorValue(editor->textColor()));
    file.writeInteger(kEditor, u"BackColor", colorValue(editor->backgroundColor()));
}

} // namespace qel

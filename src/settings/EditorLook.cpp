#include "EditorLook.h"

#include "IniFile.h"
#include "SettingValues.h"

namespace qel {

namespace {

const QString kEditor = QStringLiteral("Editor");

} // namespace

void readEditorLook(const IniFile& file, EditorLook& look, const EditorLook& defaults) {
    look.background =
        colorFromValue(file.readInteger(kEditor, u"BackColor", colorValue(defaults.background)),
                       defaults.background);
    look.font.setFamily(file.readString(kEditor, u"Font", defaults.font.family()));
    look.font.setPointSize(file.readInteger(kEditor, u"FontSize", defaults.font.pointSize()));
    look.text = colorFromValue(file.readInteger(kEditor, u"FontColor", colorValue(defaults.text)),
                               defaults.text);
    applyFontStyleName(look.font,
                       file.readString(kEditor, u"FontStyle", fontStyleName(defaults.font)));
}

void writeEditorLook(IniFile& file, const EditorLook& look) {
    file.writeString(kEditor, u"Font", look.font.family());
    file.writeString(kEditor, u"FontStyle", fontStyleName(look.font));
    file.writeInteger(kEditor, u"FontSize", look.font.pointSize());
    file.writeInteger(kEditor, u"FontColor", colorValue(look.text));
    file.writeInteger(kEditor, u"BackColor", colorValue(look.background));
}

} // namespace qel

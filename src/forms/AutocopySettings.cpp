// The main window's settings: the master settings file and its own window settings.
#include "Autocopy.h"

#include "datetime/NameTables.h"
#include "platform/ByteEditor.h"
#include "platform/StatusPanels.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"

#include <QLabel>

namespace qel {

namespace {

const QString kMasterFile = QStringLiteral("QelEditor.ini");
const QString kUseQelW = QStringLiteral("UseQelWFile");
const QString kInitialFolder = QStringLiteral("InitialFolder");
const QString kForm = QStringLiteral("Form");
const QString kEditor = QStringLiteral("Editor");
const QString kVisible = QStringLiteral("Visible");

} // namespace

void TMainForm::setInitialFolders(const QString& save, const QString& open) {
    initialSaveFolder_ = save;
    initialOpenFolder_ = open;
}

void TMainForm::LoadIni() {
    {
        IniFile ini(programFolder_ + kMasterFile);
        qelwPath_ = ini.readString(kUseQelW, u"Main", programFolder_ + u"DefaultMain.QelW");
        initialSaveFolder_ = ini.readString(kInitialFolder, u"Save", QString());
        initialOpenFolder_ = ini.readString(kInitialFolder, u"Load", QString());
    }
    OpenQelW();
}

void TMainForm::OpenQelW() {
    {
        IniFile ini(qelwPath_);
        const int top = ini.readInteger(kForm, u"Top", 100);
        const int left = ini.readInteger(kForm, u"Left", 100);
        const int height = ini.readInteger(kForm, u"Height", 350);
        const int width = ini.readInteger(kForm, u"Width", 500);
        placeWindow(this, QRect(left, top, width, height));

        windowName_ = ini.readString(kForm, u"WindowName", QStringLiteral("QelEditor"));
        activeMainWindowItem_->setText(windowName_ + u"表示");

        editor_->setBackgroundColor(colorFromValue(ini.readInteger(kEditor, u"BackColor", 16777215),
                                                   editor_->backgroundColor()));
        QFont font = editor_->font();
        font.setFamily(ini.readString(kEditor, u"Font", font.family()));
        font.setPointSize(ini.readInteger(kEditor, u"FontSize", 10));
        editor_->setFont(font);
        editor_->setTextColor(
            colorFromValue(ini.readInteger(kEditor, u"FontColor", 0), editor_->textColor()));

        pageScroller_->setVisible(ini.readBool(kVisible, u"ToolBar", true));
        staticText_->setVisible(ini.readBool(kVisible, u"FontInfo", false));
        applyHintDisplay(!staticText_->isHidden());
        statusBar_->setVisible(ini.readBool(kVisible, u"StatusBar", true));
        commands_.action(QStringLiteral("VisibleToolBar"))->setChecked(!pageScroller_->isHidden());
        commands_.action(QStringLiteral("VisibleStaticText"))->setChecked(!staticText_->isHidden());
        commands_.action(QStringLiteral("VisibleStatusBar"))->setChecked(!statusBar_->isHidden());

        font = editor_->font();
        applyFontStyleName(font, ini.readString(kEditor, u"FontStyle", QStringLiteral("Normal")));
        editor_->setFont(font);

        dateTimeFormat_ = readDateTimeFormat(ini);
    }
    ChangeCaptionModified();
    applyNameTableChoice(currentNameTables(), dateTimeFormat_.monthNumbering,
                         dateTimeFormat_.dayNames);
}

void TMainForm::SaveIni() {
    {
        IniFile ini(programFolder_ + kMasterFile);
        ini.writeString(kUseQelW, u"Main", qelwPath_);
        ini.writeString(kInitialFolder, u"Save", initialSaveFolder_);
        ini.writeString(kInitialFolder, u"Load", initialOpenFolder_);
    }
    SaveQelW();
}

void TMainForm::SaveQelW() {
    IniFile ini(qelwPath_);
    const QRect outer = outerGeometry(this);
    ini.writeInteger(kForm, u"Top", outer.top());
    ini.writeInteger(kForm, u"Left", outer.left());
    ini.writeInteger(kForm, u"Height", outer.height());
    ini.writeInteger(kForm, u"Width", outer.width());
    ini.writeString(kForm, u"WindowName", windowName_);

    const QFont font = editor_->font();
    ini.writeString(kEditor, u"Font", font.family());
    ini.writeString(kEditor, u"FontStyle", fontStyleName(font));
    ini.writeInteger(kEditor, u"FontSize", font.pointSize());
    ini.writeInteger(kEditor, u"FontColor", colorValue(editor_->textColor()));
    ini.writeInteger(kEditor, u"BackColor", colorValue(editor_->backgroundColor()));

    ini.writeBool(kVisible, u"ToolBar", !pageScroller_->isHidden());
    ini.writeBool(kVisible, u"FontInfo", !staticText_->isHidden());
    ini.writeBool(kVisible, u"StatusBar", !statusBar_->isHidden());

    writeDateTimeFormat(ini, dateTimeFormat_);
}

} // namespace qel

// The main window's settings: the master settings file and its own window settings.
#include "MainWindow.h"

#include "WindowSettings.h"

#include "datetime/NameTables.h"
#include "platform/ByteEditor.h"
#include "platform/StatusPanels.h"
#include "platform/WindowPlacement.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"

#include <QLabel>

namespace qel {

namespace {

const QString kMasterFile = QStringLiteral("QelEditor.ini");
const QString kUseQelW = QStringLiteral("UseQelWFile");
const QString kInitialFolder = QStringLiteral("InitialFolder");
const QString kForm = QStringLiteral("Form");
const QString kVisible = QStringLiteral("Visible");

} // namespace

void MainWindow::readSettings() {
    {
        IniFile ini(programFolder_ + kMasterFile);
        windowSettingsPath_ =
            ini.readString(kUseQelW, u"Main", programFolder_ + u"DefaultMain.QelW");
        initialSaveFolder_ = ini.readString(kInitialFolder, u"Save", QString());
        initialOpenFolder_ = ini.readString(kInitialFolder, u"Load", QString());
    }
    readWindowSettings();
}

void MainWindow::readWindowSettings() {
    {
        IniFile ini(windowSettingsPath_);
        placeWindow(this, readPlacement(ini, QRect(100, 100, 500, 350)));

        windowName_ = ini.readString(kForm, u"WindowName", QStringLiteral("QelEditor"));
        activateItem_->setText(windowName_ + u"表示");

        // A missing face keeps the face the editor has; a missing style is "Normal".
        QFont defaultFont = editor_->font();
        defaultFont.setPointSize(10);
        applyFontStyleName(defaultFont, u"Normal");
        readEditorLook(ini, editor_, {defaultFont, QColor(Qt::black), QColor(Qt::white)});

        toolBarStrip_->setVisible(ini.readBool(kVisible, u"ToolBar", true));
        fontInfo_->setVisible(ini.readBool(kVisible, u"FontInfo", false));
        showFontHints(!fontInfo_->isHidden());
        statusBar_->setVisible(ini.readBool(kVisible, u"StatusBar", true));
        commands_.action(QStringLiteral("VisibleToolBar"))->setChecked(!toolBarStrip_->isHidden());
        commands_.action(QStringLiteral("VisibleStaticText"))->setChecked(!fontInfo_->isHidden());
        commands_.action(QStringLiteral("VisibleStatusBar"))->setChecked(!statusBar_->isHidden());

        dateTimeFormat_ = readDateTimeFormat(ini);
    }
    updateModifiedMark();
    applyNameTableChoice(currentNameTables(), dateTimeFormat_.monthNumbering,
                         dateTimeFormat_.dayNames);
}

void MainWindow::writeSettings() {
    {
        IniFile ini(programFolder_ + kMasterFile);
        ini.writeString(kUseQelW, u"Main", windowSettingsPath_);
        ini.writeString(kInitialFolder, u"Save", initialSaveFolder_);
        ini.writeString(kInitialFolder, u"Load", initialOpenFolder_);
    }
    writeWindowSettings();
}

void MainWindow::writeWindowSettings() {
    IniFile ini(windowSettingsPath_);
    writePlacement(ini, this);
    ini.writeString(kForm, u"WindowName", windowName_);

    writeEditorLook(ini, editor_);

    ini.writeBool(kVisible, u"ToolBar", !toolBarStrip_->isHidden());
    ini.writeBool(kVisible, u"FontInfo", !fontInfo_->isHidden());
    ini.writeBool(kVisible, u"StatusBar", !statusBar_->isHidden());

    writeDateTimeFormat(ini, dateTimeFormat_);
}

} // namespace qel

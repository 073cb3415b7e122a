#pragma once

#include "platform/Commands.h"

#include <QWidget>

class QMenu;

namespace qel {

class ByteEditor;
class MainWindow;

// What sets the three sub-windows apart; everything else is shared.
struct SubWindowTraits {
    const char16_t* objectName;          // object name of the window
    const char16_t* settingsFileKey;     // key in section UseQelWFile
    const char16_t* defaultSettingsFile; // default window settings file
    const char16_t* defaultName;         // default window name
    const char16_t* openCommand;         // main window command ticked while shown
    const char16_t* onTopCommand;        // main window command ticked while on top
    const char16_t* nameItem;            // main menu item captioned with the window name
    const char16_t* onTopItem;           // main menu item: window name + "前面表示"
    const char16_t* toolButton;          // main tool button whose hint is reset on close
    const char16_t* openHint;            // that hint
    const char16_t* closeHint;           // its hint while the window is shown
    const char16_t* onTopOffHint;        // main command hint when always-on-top is off
    const char16_t* onTopOnHint;         // main command hint when always-on-top is on
    bool fontEffects;                    // the font dialog offers colour, underline, strike-out
};

// Sub-window 1, 2 or 3: another editing view of the main window's document with its
// own place, name, font, colours and always-on-top state. Closing it only hides it.
class SubWindow : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` holds the document this window shows, and outlives it.
    SubWindow(int number, MainWindow& mainWindow, QWidget* parent = nullptr);
    ~SubWindow() override;

    const SubWindowTraits& traits() const { return traits_; }
    ByteEditor* editor() const { return editor_; }
    CommandTable& commands() { return commands_; }
    const QString& windowName() const { return windowName_; }
    // The window settings file readWindowSettings reads and writeWindowSettings writes.
    const QString& settingsFilePath() const { return windowSettingsPath_; }
    void setSettingsFilePath(const QString& path) { windowSettingsPath_ = path; }
    bool staysOnTop() const;
    qsizetype rememberedCaret() const { return caretPosition_; }
    void setRememberedCaret(qsizetype position) { caretPosition_ = position; }

    // Commands.
    void chooseFont();
    void chooseBackgroundColor();
    void chooseTextColor();
    void toggleStayOnTop();
    void copy();
    void cut();
    void paste();

    // Internal steps.
    // Shows the main window's document, if this view does not yet.
    void followMainDocument();
    // After an edit made here, once every view has it: the other shown sub-windows
    // remember where it took place, as their caret.
    void shareCaretWithOtherSubWindows();
    void updateFontHint();
    void updateCaption();
    void readSettings();
    void readWindowSettings();
    void writeSettings();
    void writeWindowSettings();

    // Window events.
    void onShown();
    void onActivated();
    void onDeactivated();
    // Besides hiding: the main window's commands show the window closed, and its
    // settings are written.
    void finishClose();
    // Files dropped on the window open in the main window; the last one stays.
    void openDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createCommands();
    void setOnTop(bool onTop);

    // A main window command or item named in the traits, if the main window has it.
    QAction* mainAction(const char16_t* name) const;

    const SubWindowTraits& traits_;
    MainWindow& mainWindow_;
    CommandTable commands_;
    ByteEditor* editor_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QString programFolder_;
    QString windowSettingsPath_;
    QString windowName_;
    QString captionSeparator_;
    qsizetype caretPosition_ = 0;
};

} // namespace qel

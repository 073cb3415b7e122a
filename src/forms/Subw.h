#pragma once

#include "platform/Commands.h"

#include <QWidget>

class QMenu;

namespace qel {

class ByteEditor;
class MainWindow;

// The points where the three sub-windows differ; everything else is shared.
struct SubWindowTraits {
    const char16_t* formName;     // object name of the window
    const char16_t* qelwKey;      // key in section UseQelWFile
    const char16_t* defaultFile;  // default window settings file
    const char16_t* defaultName;  // default window name
    const char16_t* openCommand;  // main window command ticked while shown
    const char16_t* onTopCommand; // main window command ticked while on top
    const char16_t* nameItem;     // main menu item captioned with the window name
    const char16_t* onTopItem;    // main menu item: window name + "前面表示"
    const char16_t* toolButton;   // main tool button whose hint is reset on close
    const char16_t* openHint;     // that hint
    const char16_t* closeHint;    // its hint while the window is shown
    const char16_t* onTopOffHint; // main command hint when always-on-top is off
    const char16_t* onTopOnHint;  // main command hint when always-on-top is on
    bool fontEffects;             // the font dialog offers colour, underline, strike-out
};

// A second editing view of the main window's document with its own place, name, font,
// colours and always-on-top state. Closing it only hides it.
class SubWindow : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` holds the document this window shows, and outlives it.
    SubWindow(const SubWindowTraits& traits, MainWindow& mainWindow, QWidget* parent = nullptr);
    ~SubWindow() override;

    const SubWindowTraits& traits() const { return traits_; }
    ByteEditor* editor() const { return editor_; }
    CommandTable& commands() { return commands_; }
    const QString& windowName() const { return windowName_; }
    // The window settings file OpenQelW reads and SaveQelW writes.
    const QString& settingsFilePath() const { return qelwPath_; }
    void setSettingsFilePath(const QString& path) { qelwPath_ = path; }
    bool isStayOnTop() const;
    qsizetype rememberedCaret() const { return caretPosition_; }
    void setRememberedCaret(qsizetype position) { caretPosition_ = position; }

    // Commands.
    void FontChangeExecute();
    void ColorChangeExecute();
    void FontColorChangeExecute();
    void StayOnTopExecute();
    void EditCopyExecute();
    void EditCutExecute();
    void EditPasteExecute();

    // Internal steps.
    void ChangeSubText();
    void ChangeOtherText();
    void EditHintChange();
    void ChangeCaption();
    void LoadIni();
    void OpenQelW();
    void SaveIni();
    void SaveQelW();

    // Window events.
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    void FormClose();
    // Files dropped on the window open in the main window; the last one stays.
    void dropOpen(const QStringList& paths);

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
    QMenu* popupMenu_ = nullptr;
    QString programFolder_;
    QString qelwPath_;
    QString windowName_;
    QString captionSeparator_;
    qsizetype caretPosition_ = 0;
};

class TSubForm : public SubWindow {
    Q_OBJECT
public:
    explicit TSubForm(MainWindow& mainWindow, QWidget* parent = nullptr);
};

class TSubForm2 : public SubWindow {
    Q_OBJECT
public:
    explicit TSubForm2(MainWindow& mainWindow, QWidget* parent = nullptr);
};

class TSubForm3 : public SubWindow {
    Q_OBJECT
public:
    explicit TSubForm3(MainWindow& mainWindow, QWidget* parent = nullptr);
};

} // namespace qel

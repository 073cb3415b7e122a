#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace qel {

// A filter for FileRequest::filters. The dialogs show `shown` as it stands, and keep the
// patterns they match (separated by blanks) out of sight; so `shown` carries whatever
// pattern text the user is to read: fileFilter("表 (*.csv)", "*.csv").
QString fileFilter(const QString& shown, const QString& patterns);

// What a file dialog is asked to show.
struct FileRequest {
    QString title;
    QStringList filters;      // made by fileFilter()
    int selectedFilter = 0;   // index into filters
    QString defaultExtension; // without the dot, added to a name typed without one
    QString startFolder;      // empty: the platform's choice
    QString proposedName;     // file name offered in the name box
    bool overwritePrompt = false;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool hideReadOnly = false;
    friend bool operator==(const FileRequest&, const FileRequest&) = default;
};

// A font with the colour chosen in the same dialog.
struct FontChoice {
    QFont font;
    QColor color;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

struct FontRequest {
    int minSize = 0; // 0: no limit
    int maxSize = 0;
    bool effects = true; // underline, strike-out and colour offered
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct PrintRequest {
    bool printToFileShown = false;
    bool printToFileChecked = false;
    friend bool operator==(const PrintRequest&, const PrintRequest&) = default;
};

enum class Answer { Yes, No, Cancel };

// A question with buttons of its own: the buttons' captions, left to right, the one
// Return presses and the one Escape (or closing the box) counts as.
struct Choice {
    QString text;
    QStringList buttons;
    int defaultButton = 0;
    int escapeButton = 0;
    friend bool operator==(const Choice&, const Choice&) = default;
};

// Every question the program asks goes through here, so that a test can answer it.
// Message boxes are captioned with the application title.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void message(const QString& text) = 0;
    // Closing the box counts as Cancel.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // Returns the index of the button pressed; closing the box gives escapeButton.
    virtual int choose(const Choice& choice) = 0;
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual QStringList openFiles(const FileRequest& request) = 0; // empty: cancelled
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                                 const FontRequest& request) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // Asks for the print settings and sets up `printer`; false when cancelled.
    virtual bool print(QPrinter& printer, const PrintRequest& request) = 0;
    virtual bool printerSetup(QPrinter& printer) = 0;
    // Runs one of the program's own dialogs modally; returns its result code.
    virtual int exec(QDialog& dialog) = 0;
    virtual void showException(const QString& text) = 0;
};

// The application-wide service. Until one is installed, the Qt dialogs are used.
Dialogs& dialogs();
// Installs `service` (not owned); nullptr goes back to the Qt dialogs.
void setDialogs(Dialogs* service);
// The service installed with setDialogs, nullptr when the Qt dialogs are in use.
Dialogs* installedDialogs();

// The application title that captions every message box.
QString applicationTitle();
void setApplicationTitle(const QString& title);

} // namespace qel

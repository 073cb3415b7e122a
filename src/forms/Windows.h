#pragma once

#include <QStringList>

namespace qel {

class TMainForm;
class TSubForm;
class TSubForm2;
class TSubForm3;
class TListWindow;
class TPropertyForm;
class TDateTimeFormatForm;

// The program's windows, one object each, reached through these instances.
extern TMainForm* MainForm;
extern TSubForm* SubForm;
extern TSubForm2* SubForm2;
extern TSubForm3* SubForm3;
extern TListWindow* ListWindow;
extern TPropertyForm* PropertyForm;
extern TDateTimeFormatForm* DateTimeFormatForm;

// Creates the seven windows in their order (the main window first, its creation
// complete before any other exists) and destroys them, last first.
class WindowSet {
public:
    explicit WindowSet(const QStringList& arguments);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;
};

} // namespace qel

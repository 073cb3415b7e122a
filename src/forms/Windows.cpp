#include "Windows.h"

#include "Autocopy.h"
#include "Datetimeformat.h"
#include "Filelist.h"
#include "Propertyw.h"
#include "Subw.h"

namespace qel {

TMainForm* MainForm = nullptr;
TSubForm* SubForm = nullptr;
TSubForm2* SubForm2 = nullptr;
TSubForm3* SubForm3 = nullptr;
TListWindow* ListWindow = nullptr;
TPropertyForm* PropertyForm = nullptr;
TDateTimeFormatForm* DateTimeFormatForm = nullptr;

WindowSet::WindowSet(const QStringList& arguments) {
    MainForm = new TMainForm(arguments);
    SubForm = new TSubForm;
    SubForm2 = new TSubForm2;
    SubForm3 = new TSubForm3;
    ListWindow = new TListWindow;
    PropertyForm = new TPropertyForm(MainForm);
    DateTimeFormatForm = new TDateTimeFormatForm(MainForm);
}

WindowSet::~WindowSet() {
    delete DateTimeFormatForm;
    DateTimeFormatForm = nullptr;
    delete PropertyForm;
    PropertyForm = nullptr;
    delete ListWindow;
    ListWindow = nullptr;
    delete SubForm3;
    SubForm3 = nullptr;
    delete SubForm2;
    SubForm2 = nullptr;
    delete SubForm;
    SubForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
}

} // namespace qel

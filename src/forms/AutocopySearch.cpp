// The main window's find and replace commands.
#include "Autocopy.h"

namespace qel {

void TMainForm::FindExecute() {}
void TMainForm::ReplaceExecute() {}

} // namespace qel

#include "platform/forms/FormQueries.h"

#include "platform/db/WQuery.h"
#include "platform/forms/WExeApplication.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WPrompter.h"

bool AutoOpenQuery(WForm* form, WQuery* query) {
    if (query->Open()) return true;
    const std::string text = query->LastError() + "\r\n\r\nDo you wish to exit the program?";
    if (MessageBox(form, "Query AutoOpen Warning", text, WMessageIcon::Exclamation, WMessageButtons::YesNo) ==
        WMessageAnswer::Yes)
        WExeApplication::Quit(0);
    return false;
}

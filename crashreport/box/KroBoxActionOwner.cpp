#include "KroBoxActionOwner.h"

#include "KroMessageBox.h"
#include "KroSendBugReport.h"
#include "KroXWindow.h"

void TBoxActionOwner::ShowMessage(std::string_view Caption, std::string_view Text, TMessageIcon Icon) {
    ShowKroMessageBox(Window, Caption, Text,
                      Icon == TMessageIcon::Information ? TKroMessageIcon::Information : TKroMessageIcon::Error);
}

void TBoxActionOwner::DropTopmost() {
    if (Window != nullptr)
        Window->SetTopmost(false);
}

std::int32_t SendBugReport(std::string_view Report, TKroXWindow* Owner, bool Silent) {
    TBoxActionOwner BoxOwner(Owner);
    return SendBugReport(Report, &BoxOwner, Silent, ExceptSettings, TMailSystem{});
}

#pragma once

#include "KroActionOwner.h"

#include <cstdint>
#include <string_view>

class TKroXWindow;

// The report actions' owner when they act for a window of the reporter's (the exception box): messages are message
// boxes over it (or of their own, without a window), and its topmost state is what a mail client must get past.
class TBoxActionOwner final : public TActionOwner {
public:
    explicit TBoxActionOwner(TKroXWindow* Window) noexcept : Window(Window) {}

    void ShowMessage(std::string_view Caption, std::string_view Text, TMessageIcon Icon) override;
    void DropTopmost() override;

private:
    TKroXWindow* Window;
};

// Mails the report as SendBugReport (KroSendBugReport.h) does, with the process's settings and the system's programs,
// for the exception box: Owner, which may be null (the messages then come in boxes of their own).
std::int32_t SendBugReport(std::string_view Report, TKroXWindow* Owner, bool Silent);

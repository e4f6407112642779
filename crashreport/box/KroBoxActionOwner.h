#pragma once

#include "KroActionOwner.h"

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

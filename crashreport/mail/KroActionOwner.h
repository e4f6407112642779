#pragma once

#include <string_view>

// The window the report actions act for (the exception box): they show their messages through it and take its
// topmost state away before another program's window must come to the front. The automatic actions have none.
class TActionOwner {
public:
    enum class TMessageIcon { Information, Error };

    virtual void ShowMessage(std::string_view Caption, std::string_view Text, TMessageIcon Icon) = 0;
    virtual void DropTopmost() = 0;

protected:
    TActionOwner() = default;
    ~TActionOwner() = default;
    TActionOwner(const TActionOwner&) = default;
    TActionOwner& operator=(const TActionOwner&) = default;
};

#pragma once

#include "KroMailSink.h"

#include <string>
#include <string_view>

class TSmtpSession;

// The mail text after "DATA": every line end becomes CR LF (a lone CR or LF too, so that no server sees a line end
// the client did not mean), every line that starts with "." gets a second "." in front (the server removes it again),
// and the text goes out in pieces of the session's size. Finish ends the data with "." on a line of its own.
class TSmtpDataWriter final : public TMailSink {
public:
    explicit TSmtpDataWriter(TSmtpSession& Session) : Session(Session) {}

    bool Write(std::string_view Text) override;
    // Sends the rest and the end of the data; the server's reply is then due.
    bool Finish();

private:
    bool Flush();

    TSmtpSession& Session;
    std::string Buffer;
    bool AtLineStart = true;
    bool AfterCarriageReturn = false;
    bool Failed = false;
};

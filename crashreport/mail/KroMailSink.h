#pragma once

#include <string_view>

// Where a composed mail goes: the SMTP data stream or the local mailer's input. The composer writes lines ended by
// CR LF; each sink turns them into what its peer wants.
class TMailSink {
public:
    // False when the text could not be passed on; the mail is then lost and the sink is not written to again.
    virtual bool Write(std::string_view Text) = 0;

protected:
    TMailSink() = default;
    ~TMailSink() = default;
    TMailSink(const TMailSink&) = default;
    TMailSink& operator=(const TMailSink&) = default;
};

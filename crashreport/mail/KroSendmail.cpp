#include "KroSendmail.h"

#include "KroChildProcess.h"
#include "KroMailMessage.h"
#include "KroMailSink.h"

#include <unistd.h>

namespace {

constexpr int WriteWaitMs = 7000;
constexpr int MailerWaitMs = 30000;

// The mailer's input takes lines ended by LF, the local convention; it adds the CRs itself where it sends on.
class TMailerInput final : public TMailSink {
public:
    explicit TMailerInput(TChildProcess& Child) : Child(Child) {}

    bool Write(std::string_view Text) override {
        std::string Lines;
        Lines.reserve(Text.size());
        for (std::size_t I = 0; I < Text.size(); ++I)
            if (!(Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n'))
                Lines += Text[I];
        return Child.WriteInput(Lines, WriteWaitMs);
    }

private:
    TChildProcess& Child;
};

// The address alone, as the mailer's argument wants it: the text between "<" and ">" when there are brackets.
std::string BareAddress(std::string_view Address) {
    std::string Envelope = EnvelopeAddress(Address);
    return Envelope.substr(1, Envelope.size() - 2);
}

} // namespace

std::int32_t SendMapiMail(std::string_view Recipient, std::string_view Subject, std::string_view Body, bool /*Silent*/,
                          const std::string& AttachmentFile, std::string_view Sender, const char* Sendmail) {
    const std::string Address = BareAddress(Recipient);
    if (Address.empty() || (Subject.empty() && Body.empty()) || Sendmail == nullptr || access(Sendmail, X_OK) != 0)
        return 0;
    std::string Program = Sendmail;
    std::string Option = "-i"; // a line of a single "." is text, not the end
    std::string EndOfOptions = "--";
    std::string Argument = Address;
    char* Arguments[] = {Program.data(), Option.data(), EndOfOptions.data(), Argument.data(), nullptr};
    TChildProcess Child;
    if (!Child.Start(Sendmail, Arguments, true))
        return 0;
    TMailerInput Input(Child);
    if (!WriteMailMessage(Input, Recipient, Sender, Subject, Body, AttachmentFile)) {
        // A mailer that got part of the mail would send it cut short: end it before it sees the end of its input.
        Child.Kill();
        return 0;
    }
    Child.CloseInput();
    int ExitCode = -1;
    if (!Child.Wait(MailerWaitMs, ExitCode)) {
        Child.Kill();
        return 0;
    }
    return ExitCode == 0 ? 1 : 0;
}

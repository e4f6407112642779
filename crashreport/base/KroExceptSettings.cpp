#include "KroExceptSettings.h"

#include "KroCrypt.h"

void ConvertSettingsAddresses(TExceptSettings& Settings, std::uintptr_t LoadAddress) noexcept {
    if (Settings.VersionVariable != 0)
        Settings.VersionVariable += LoadAddress;
    if (!Settings.Enabled || !Settings.InstallHooks)
        return;
    for (std::uintptr_t& Address : Settings.HookAddresses)
        if (Address != 0)
            Address += LoadAddress;
}

void DecipherSmtpPassword(TExceptSettings& Settings) {
    if (Settings.SmtpPassword.Empty())
        return;
    std::string Password(Settings.SmtpPassword.View());
    DecipherString(Password, Settings.SmtpServer.View(), SmtpPasswordIv1, 0);
    DecipherString(Password, Settings.SmtpAccount.View(), SmtpPasswordIv2, 0);
    Settings.SmtpPassword.Assign(Password);
}

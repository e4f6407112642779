#pragma once

// The programs and system files the mail transports use. Tests give their own.
struct TMailSystem {
    const char* Sendmail = "/usr/sbin/sendmail"; // the local mailer (the third way of mailing)
    const char* MailtoOpener = "xdg-open";       // hands a mailto URL to the user's mail client
    const char* RouteTable = "/proc/net/route";  // whether the machine is online
    const char* HostsFile = "/etc/hosts";
    const char* ResolverFile = "/etc/resolv.conf";
};

#pragma once

#include <string>
#include <utility>

// The crash reporter's own exception: raised for runtime errors, signals turned into exceptions and frozen-application
// reports. It deliberately does not derive from std::exception, so that the program's own `catch (std::exception&)`
// handlers do not swallow what the reporter means to report.
class KroException final {
public:
    explicit KroException(std::string Text) : Message(std::move(Text)) {}

    // Writable: the dispatcher marks an exception it has reported already by replacing the message.
    std::string Message;
};

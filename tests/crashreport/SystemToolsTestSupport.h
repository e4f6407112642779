#pragma once

#include <cstdio>
#include <string>

namespace kt {

// The standard output of a shell command; empty when it fails.
inline std::string CommandOutput(const std::string& Command) {
    std::string Output;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr)
        return Output;
    char Chunk[65536];
    for (std::size_t Read; (Read = std::fread(Chunk, 1, sizeof Chunk, Pipe)) > 0;)
        Output.append(Chunk, Read);
    return pclose(Pipe) == 0 ? Output : std::string();
}

} // namespace kt

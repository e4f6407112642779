#pragma once

#include <cstdint>
#include <string>

// Links the disassembler into the crash reporter: the bug report's disassembly callback in the settings record, and
// the names of addresses (a module's exports first, then its debug map) for the disassembler's comments and labels.
// Counted: the first call installs, a call to KroUnlinkDisAsm for every call to KroLinkDisAsm takes it out again.
void KroLinkDisAsm() noexcept;
void KroUnlinkDisAsm() noexcept;

// The report's disassembly callback: the listing of the function at FunctionAddress in this process, with the line
// of ExceptAddress marked and ContextLines lines around it (0: the whole function). Empty when the function cannot
// be analysed; never throws.
std::string KroDisAsmCallback(std::uintptr_t FunctionAddress, std::uintptr_t ExceptAddress, std::int32_t ContextLines,
                              bool FullLabels);

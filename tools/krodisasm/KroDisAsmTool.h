#pragma once

#include <ostream>
#include <string>
#include <vector>

// krodisasm's command line:
//   krodisasm FILE                            every executable section of an ELF file, by linear sweep
//   krodisasm --function NAME|ADDRESS FILE    the listing of one function of an ELF file
//   krodisasm --32 FILE [--base ADDRESS]      a raw file of 32-bit code, loaded at ADDRESS (default 0)
//   krodisasm --help
// Writes the disassembly to Out and messages to Err; returns the exit code (0 done, 1 the file could not be used,
// 2 a bad command line).
int KroDisAsmToolMain(const std::vector<std::string>& Arguments, std::ostream& Out, std::ostream& Err);

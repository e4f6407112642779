#pragma once

#include "KroDisAsm.h"

#include <cstdint>
#include <string>

// The disassembler's operations on the code of this process, in its native mode, read through the live code reader
// (KroLiveCodeReader.h): what the stack tracer and the report's listing decode.
bool DecodeInstruction(std::uint64_t Address, std::string& Text, TRegisterSlots* Slots, TCodeInfo& Info, bool Resolve);
bool DecodeInstruction(std::uint64_t Address, TRegisterSlots* Slots, bool Resolve, TCodeInfo& Info);
bool DecodeInstruction(std::uint64_t Address, TCodeInfo& Info);
void AnalyzeFunction(std::uint64_t Address, TFunctionInfo& Info);
void ParseFunction(std::uint64_t FunctionAddress, std::string& Text, std::uint64_t ExceptAddress,
                   std::int32_t ContextLines, bool FullLabels, TFunctionInfo& Info);

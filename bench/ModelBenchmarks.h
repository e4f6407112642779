#pragma once

namespace bench {

// The text the search benchmark looks for in every person's names: common in every naming style of the worlds.
inline constexpr char16_t SearchText[] = u"an";

// Registers, for each world size in turn: RawRead, Load, RawWrite, RawWriteDurable, Save, SortAll, Search,
// SearchEach.
void RegisterModelBenchmarks();

} // namespace bench

// The engine computer's two-digit trouble codes and what each one means.
#pragma once

#include <array>
#include <string_view>

namespace quelm {

inline constexpr int kTroubleCodeCount = 1000;

// Indexed by code number 0..999; codes without a meaning have empty text.
using TroubleCodes = std::array<std::string_view, kTroubleCodeCount>;

// Fills every entry: the known texts, empty text for the rest.
void LoadTroubleCodes(TroubleCodes& table);
TroubleCodes LoadTroubleCodes();

// The text of a code; empty for unknown codes and for numbers outside 0..999.
std::string_view TroubleCodeText(const TroubleCodes& table, int code);

}  // namespace quelm

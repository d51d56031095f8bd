#pragma once
// Codes the host interprets inside conversation text: a colour, bold on,
// and back to plain text.

namespace nimbrel {

inline constexpr char kColourCodeStart[] = "(!FC";  // then two digits
inline constexpr char kColourCodeEnd[] = ")";
inline constexpr char kBoldCode[] = "(!FB)";
inline constexpr char kResetCode[] = "(!FR)";

}  // namespace nimbrel

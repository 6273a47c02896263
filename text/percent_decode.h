#pragma once
#include <string>
#include <string_view>

namespace quenmora::text {

// Undoes "%XX" escapes (hex digits in either case); "+" stays "+"; decoded zero bytes are
// dropped. The input ends at its first zero byte, so a raw chunk may be passed as it is. An escape
// cut short by the end adds nothing; a non-hex digit counts as -2 (the low 8 bits of the sum are
// kept). With `utf8` the result is read as UTF-8 and returned in code page 936.
std::string PercentDecode(std::string_view input, bool utf8 = false);

// The same decoding without the code page conversion, appended to `decoded`: a caller that
// decodes every read keeps one buffer and its storage.
void AppendPercentDecoded(std::string_view input, std::string& decoded);

}  // namespace quenmora::text

#pragma once
#include <string>
#include <string_view>

namespace quenmora::text {

// Undoes "%XX" escapes (hex digits in either case); "+" stays "+"; decoded zero bytes are
// dropped. With `utf8` the result is read as UTF-8 and returned in code page 936.
std::string PercentDecode(std::string_view input, bool utf8 = false);

}  // namespace quenmora::text

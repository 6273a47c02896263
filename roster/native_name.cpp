#include "roster/native_name.h"

#include "text/codepage.h"

namespace quenmora::roster {

std::string GbkName(const std::filesystem::path& name) {
  const std::filesystem::path::string_type& native = name.native();
#ifdef _WIN32
  return text::Utf16ToGbkWithoutLookAlikes(
      std::u16string_view(reinterpret_cast<const char16_t*>(native.data()), native.size()));
#else
  return text::Utf16ToGbkWithoutLookAlikes(text::MultiByteToUtf16(native, text::kCodePageUtf8));
#endif
}

}  // namespace quenmora::roster

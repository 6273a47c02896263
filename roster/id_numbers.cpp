#include "roster/id_numbers.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace quenmora::roster {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

// ISO 7064 MOD 11-2: the weights are 2^(17-i) mod 11, and the sum's remainder picks the character.
char CheckCharacter(std::string_view seventeenDigits) {
  static constexpr std::array<int, 17> kWeights{7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (std::size_t i = 0; i < kWeights.size(); ++i) sum += (seventeenDigits[i] - '0') * kWeights[i];
  return "10X98765432"[sum % 11];
}

// Digits, a decimal point (or comma) and more digits perhaps, E or e, a sign perhaps, digits.
bool IsScientific(std::string_view text) {
  const auto digitsFrom = [&text](std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
  };
  std::size_t at = digitsFrom(0);
  if (at == 0) return false;
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) at = digitsFrom(at + 1);
  if (at == text.size() || (text[at] != 'E' && text[at] != 'e')) return false;
  ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t exponent = at;
  return digitsFrom(exponent) == text.size() && exponent < text.size();
}

}  // namespace

IdNumberForm IdNumberFormOf(std::string_view number) {
  if (number.empty()) return IdNumberForm::kEmpty;
  if (number.size() == 15 && AllDigits(number)) return IdNumberForm::kValid;
  if (number.size() == 18 && AllDigits(number.substr(0, 17))) {
    const char check = number[17] == 'x' ? 'X' : number[17];
    if (!IsDigit(check) && check != 'X') return IdNumberForm::kMalformed;
    return check == CheckCharacter(number) ? IdNumberForm::kValid : IdNumberForm::kWrongCheckDigit;
  }
  return IsScientific(number) ? IdNumberForm::kScientific : IdNumberForm::kMalformed;
}

std::string IdNumberKey(std::string_view number) {
  std::string key(number);
  if (key.size() == 18 && key.back() == 'x') key.back() = 'X';
  return key;
}

std::vector<IdNumberFault> FindIdNumberFaults(const std::vector<Student>& students) {
  std::vector<IdNumberFault> faults;
  // A shared number's fault, once made, gains each later row that holds it.
  std::unordered_map<std::string, std::size_t> firstHolder;
  std::unordered_map<std::string, std::size_t> sharedFault;
  for (std::size_t i = 0; i < students.size(); ++i) {
    const IdNumberForm form = IdNumberFormOf(students[i].idNumber);
    if (form == IdNumberForm::kWrongCheckDigit) faults.push_back({IdNumberFault::Kind::kWrongCheckDigit, {i}});
    if (form == IdNumberForm::kScientific) faults.push_back({IdNumberFault::Kind::kScientific, {i}});
    if (form == IdNumberForm::kMalformed) faults.push_back({IdNumberFault::Kind::kMalformed, {i}});
    if (!HasIdNumberShape(form)) continue;
    const std::string key = IdNumberKey(students[i].idNumber);
    const auto [first, isFirst] = firstHolder.try_emplace(key, i);
    if (isFirst) continue;
    const auto [shared, isNew] = sharedFault.try_emplace(key, faults.size());
    if (isNew) faults.push_back({IdNumberFault::Kind::kShared, {first->second}});
    faults[shared->second].students.push_back(i);
  }
  std::stable_sort(faults.begin(), faults.end(), [](const IdNumberFault& a, const IdNumberFault& b) {
    return a.students.front() < b.students.front();
  });
  return faults;
}

}  // namespace quenmora::roster

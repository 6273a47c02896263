#pragma once
// ID card numbers as the registry checks them: it refuses a photo named by a wrong one.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "roster/roster.h"

namespace quenmora::roster {

enum class IdNumberForm {
  kEmpty,
  kValid,            // 17 digits and the check character of ISO 7064 MOD 11-2, or the old 15 digits
  kWrongCheckDigit,  // 17 digits and a check character (a digit, X or x) that is not theirs
  kScientific,       // a spreadsheet's number form, such as 4.40101E+17: the digits are lost
  kMalformed,        // anything else
};

IdNumberForm IdNumberFormOf(std::string_view number);

// Whether the number is written as one, right or wrong: only such a number can name a photo.
inline bool HasIdNumberShape(IdNumberForm form) {
  return form == IdNumberForm::kValid || form == IdNumberForm::kWrongCheckDigit;
}

// The number as two numbers are compared: a check character x is X.
std::string IdNumberKey(std::string_view number);

struct IdNumberFault {
  enum class Kind { kWrongCheckDigit, kScientific, kMalformed, kShared };
  Kind kind;
  // Indices of the students holding it: one, or every row that shares a number of the shape of
  // one (scientific forms are alike by nature and reported as such).
  std::vector<std::size_t> students;
};

// Every faulty number of the roster, in the order of the rows that first hold them.
std::vector<IdNumberFault> FindIdNumberFaults(const std::vector<Student>& students);

}  // namespace quenmora::roster

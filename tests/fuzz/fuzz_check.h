#pragma once
// A property a fuzz target found broken stops the run, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

namespace quenmora::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace quenmora::fuzz

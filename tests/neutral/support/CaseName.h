// The name GoogleTest shows for a row of a table of cases: its description with every character
// that a test name may not hold turned into '_'.
#pragma once

#include <string>

namespace neutral {

inline std::string CaseName(const char* description) {
  std::string name;
  for (const char* c = description; *c; ++c) {
    const bool allowed =
        (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
    name += allowed ? *c : '_';
  }
  return name;
}

// For INSTANTIATE_TEST_SUITE_P over rows that have a `name`.
struct ByCaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return CaseName(info.param.name);
  }
};

}  // namespace neutral

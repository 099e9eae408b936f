#pragma once
// A property a fuzz target checks: its failure aborts, which libFuzzer reports with the input.

#include <cstdlib>

namespace tarnwick::fuzz {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace tarnwick::fuzz

// What every fuzz target uses to state a property: a broken one stops the run with the input
// saved, as a crash would.
#pragma once

#include <cstdlib>

namespace zv::fuzz {

inline void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace zv::fuzz

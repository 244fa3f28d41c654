// The text of the box that follows switching a set of hotkeys on: success when the system gave
// every key, the keys another program holds by name when it gave some, and no success at all
// when it gave none. Shared by quick-send and the piano.
#pragma once

#include <string>
#include <vector>

namespace zv {

struct SwitchOnTexts {
  const char* allKeys;   // every key is ours
  const char* restKeys;  // follows the refused keys' names when some are ours
  const char* noKeys;    // no key is ours
};

// `refused`: the names of the keys the system refused, in the order they were registered.
std::string SwitchOnBoxText(const std::vector<std::string>& refused, size_t keyCount,
                            const SwitchOnTexts& texts);

}  // namespace zv

// The piano's key table and lookup order.
#include "piano/piano_keys.h"

#include <string>

namespace zv {
namespace {

// Digits and letters are their own virtual-key codes.
constexpr std::array<PianoKey, kPianoKeyCount> kKeys = {{
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73},  {"F5", 0x74},  {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"1", '1'},   {"2", '2'},   {"3", '3'},   {"4", '4'},    {"5", '5'},    {"6", '6'},
    {"7", '7'},   {"8", '8'},   {"A", 'A'},   {"B", 'B'},    {"C", 'C'},    {"D", 'D'},
    {"E", 'E'},   {"F", 'F'},   {"G", 'G'},   {"H", 'H'},    {"I", 'I'},    {"J", 'J'},
    {"K", 'K'},   {"L", 'L'},   {"M", 'M'},   {"N", 'N'},    {"O", 'O'},    {"P", 'P'},
    {"Q", 'Q'},   {"R", 'R'},   {"S", 'S'},   {"T", 'T'},    {"U", 'U'},    {"V", 'V'},
    {"W", 'W'},   {"X", 'X'},   {"Y", 'Y'},   {"Z", 'Z'},
}};

constexpr const char* kLookupNames[kPianoKeyCount] = {
    "Q",  "W",  "E",  "A",  "S",  "Z",  "X",  "R",  "T",  "D",  "F",   "G",   "C",   "V",  "Y",
    "U",  "I",  "H",  "J",  "B",  "N",  "O",  "P",  "K",  "L",  "M",   "F1",  "F2",  "F3", "F4",
    "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "1", "2", "3",   "4",   "5",   "6",  "7",
    "8"};

std::array<size_t, kPianoKeyCount> BuildLookupOrder() {
  std::array<size_t, kPianoKeyCount> order{};
  for (size_t i = 0; i < kPianoKeyCount; ++i) {
    for (size_t k = 0; k < kPianoKeyCount; ++k) {
      if (std::string(kKeys[k].name) == kLookupNames[i]) order[i] = k;
    }
  }
  return order;
}

}  // namespace

const std::array<PianoKey, kPianoKeyCount>& PianoKeys() { return kKeys; }

const std::array<size_t, kPianoKeyCount>& PianoLookupOrder() {
  static const std::array<size_t, kPianoKeyCount> order = BuildLookupOrder();
  return order;
}

}  // namespace zv

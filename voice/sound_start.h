// Where a take begins within what the recorder heard just before the trigger. The level is one
// instantaneous sample every 200 ms, so the first loud reading comes some way into the speech;
// the take goes back to where that sound began, so the first syllable is not lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zv {

// In frames at 44100 samples per second. A pause between words can reach 200 ms or more (a
// comma), so only half a second of quiet separates the sound from what came before it; the
// take keeps 100 ms of that quiet as a lead-in.
inline constexpr size_t kQuietStretchFrames = 22050;
inline constexpr size_t kLeadInFrames = 4410;

// The frame from which the take keeps `heard` (16-bit mono little-endian samples, oldest first):
// the earliest point after which no stretch of kQuietStretchFrames stays at or below
// `threshold` in absolute value, less a lead-in of kLeadInFrames, and never before the first
// frame heard.
size_t SoundStartFrame(std::string_view heard, int16_t threshold);

}  // namespace zv

// Names of the pictures the windows carry. The artwork generator writes files of these names at
// build time; the exe embeds them as resources and the window host loads them by name.
#pragma once

namespace zv::pictures {

inline constexpr const char* kBanner = "banner.jpg";            // 1600x300
inline constexpr const char* kLoading = "loading.gif";          // 400x400, 6 frames
inline constexpr const char* kLink = "link.gif";                // 90x22
inline constexpr const char* kLogo = "logo.jpg";                // 100x40
inline constexpr const char* kTabNormal = "tab_normal.jpg";     // 100x45
inline constexpr const char* kTabPressed = "tab_pressed.jpg";   // 100x45
inline constexpr const char* kButton = "button.jpg";            // 96x30, both faces
inline constexpr const char* kPlayNormal = "play_normal.jpg";   // 50x50
inline constexpr const char* kPlayPressed = "play_pressed.jpg"; // 50x50
inline constexpr const char* kStopNormal = "stop_normal.jpg";   // 50x50
inline constexpr const char* kStopPressed = "stop_pressed.jpg"; // 50x50
inline constexpr const char* kKeyboard = "keyboard.jpg";        // 606x286
inline constexpr const char* kGrandPiano = "grand_piano.jpg";   // 1280x800
inline constexpr const char* kUpdateIcon = "update.ico";        // 48/32/16 at 8 and 32 bits

}  // namespace zv::pictures

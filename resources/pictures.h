// Names of the pictures the windows carry. The artwork generator writes files of these names at
// build time; the exe embeds them as resources and the window host loads them by name. Each is
// at least twice the size of the largest box that shows it, so it stays sharp at up to 200 %.
#pragma once

namespace zv::pictures {

inline constexpr const char* kBanner = "banner.jpg";            // 1600x300
inline constexpr const char* kLoading = "loading.gif";          // 624x624, 6 frames
inline constexpr const char* kLink = "link.gif";                // 176x48
inline constexpr const char* kLogo = "logo.jpg";                // 176x64
inline constexpr const char* kTabNormal = "tab_normal.jpg";     // 200x90
inline constexpr const char* kTabPressed = "tab_pressed.jpg";   // 200x90
inline constexpr const char* kButton = "button.jpg";            // 192x64, both faces
inline constexpr const char* kPlayNormal = "play_normal.jpg";   // 100x100
inline constexpr const char* kPlayPressed = "play_pressed.jpg"; // 100x100
inline constexpr const char* kStopNormal = "stop_normal.jpg";   // 100x100
inline constexpr const char* kStopPressed = "stop_pressed.jpg"; // 100x100
inline constexpr const char* kKeyboard = "keyboard.jpg";        // 1136x576
inline constexpr const char* kGrandPiano = "grand_piano.jpg";   // 1280x800
inline constexpr const char* kUpdateIcon = "update.ico";        // 16 to 256, see art_icon.py

}  // namespace zv::pictures

// The fixed places of the user's data. They are never taken from settings or the environment.
#pragma once

namespace zv::paths {

inline constexpr const char* kDataDirectory = "D:\\Zanvoro助手";
inline constexpr const char* kCustomSoundConfig = "D:\\Zanvoro助手\\自定义配置.txt";
inline constexpr const char* kQuickSendConfig = "D:\\Zanvoro助手\\快捷键配置.txt";
inline constexpr const char* kTakeFile = "D:\\Zanvoro助手\\1.wav";
inline constexpr const char* kScratchFile = "D:\\Zanvoro助手\\tmp.wav";

}  // namespace zv::paths

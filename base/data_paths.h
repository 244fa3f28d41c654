// Where the user's data lives. The folder is chosen once at start-up from what the platform
// found out about the machine, and never taken from settings or the environment; every file
// the program keeps lies in it.
#pragma once

#include <string>

namespace zv {

// The folder of the first versions, kept wherever drive D: can hold it so that a host's saved
// slots and texts stay where they always were.
inline constexpr const char* kDataFolderOnD = "D:\\Zanvoro助手";
// Its name under the user's application-data folder, where it goes when D: cannot hold it.
inline constexpr const char* kDataFolderName = "Zanvoro助手";

// What the platform saw before choosing. It creates the folder on D: only on a fixed drive, so
// an empty card reader or a DVD drive is never written to.
struct DataFolderFacts {
  bool driveDFixed = false;
  bool folderOnDExisted = false;
  bool folderOnDCreated = false;
  bool folderOnDWritable = false;  // a file could be written in it
  std::string appData;             // the roaming application-data folder; empty when unknown
};

// D:\Zanvoro助手 when it can keep what is saved there: it was there already, or was made on a
// fixed drive, and a file can be written in it. Otherwise the folder under the application
// data, or D: again when even that is unknown.
std::string ChooseDataFolder(const DataFolderFacts& facts);

// The files of the chosen folder.
struct DataPaths {
  explicit DataPaths(const std::string& chosen = kDataFolderOnD)
      : folder(chosen),
        customSoundConfig(chosen + "\\自定义配置.txt"),
        quickSendConfig(chosen + "\\快捷键配置.txt"),
        takeFile(chosen + "\\1.wav"),
        scratchFile(chosen + "\\tmp.wav") {}

  std::string folder;
  std::string customSoundConfig;
  std::string quickSendConfig;
  std::string takeFile;     // the last take as recorded
  std::string scratchFile;  // the transformation's working file
};

}  // namespace zv

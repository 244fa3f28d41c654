// What the machine offers for the data folder: drive D:'s type, the folder on it and whether a
// file can be written there, and the user's application-data folder. The choice itself is made
// by the portable core from these facts.
#pragma once

#include "base/data_paths.h"

namespace zv::win32 {

// Creates D:\Zanvoro助手 when D: is a fixed drive without it; touches no other drive. Call it
// after SetErrorMode, so that asking about an empty card reader raises no box.
DataFolderFacts ProbeDataFolder();

}  // namespace zv::win32

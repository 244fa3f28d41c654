// Choosing the data folder.
#include "base/data_paths.h"

namespace zv {

std::string ChooseDataFolder(const DataFolderFacts& facts) {
  const bool onD = facts.folderOnDExisted || (facts.driveDFixed && facts.folderOnDCreated);
  if (onD && facts.folderOnDWritable) return kDataFolderOnD;
  if (facts.appData.empty()) return kDataFolderOnD;
  return facts.appData + "\\" + kDataFolderName;
}

}  // namespace zv

#include "packindex.h"

#include <vector>

#include "build/indexstream.h"
#include "install/projectloader.h"
#include "platform/file.h"
#include "platform/text.h"

namespace glimmora_pack {

int32_t LoadPackageIndex(const std::filesystem::path& package, PackageTable& table, CInstallProject& project,
                         std::string& error) {
  error.clear();
  platform::File file = platform::File::Open(platform::FromUtf8(std::filesystem::absolute(package).string()),
                                             platform::OpenMode::kReadShared);
  if (!file.IsOpen()) return EXTRACT_ERR_OPEN;
  const int32_t read = ReadPackageTrailer(file, &table, nullptr);
  if (read != EXTRACT_OK) return read;
  // The setup program inflates the index into a file of this name, so a
  // name that is not one plain file name makes the package unusable there.
  if (!IsSafeEntryName(table.rows[0].name)) {
    error = "the index entry's name is not a plain file name";
    return EXTRACT_ERR_SIGNATURE;
  }
  std::vector<uint8_t> index;
  const int32_t inflated = ReadIndexStream(file, table.rows[0], index, error);
  if (inflated != EXTRACT_OK) return inflated;
  const ProjectLoadResult loaded = LoadProject(index.data(), index.size(), project);
  if (!loaded.ok) {
    error = loaded.error;
    return EXTRACT_ERR_SIGNATURE;
  }
  return EXTRACT_OK;
}

}  // namespace glimmora_pack

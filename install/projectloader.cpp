#include "install/projectloader.h"

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/text.h"

ProjectLoadResult LoadProject(const uint8_t* data, size_t size, CInstallProject& project) {
  ProjectLoadResult result;
  try {
    CArchive ar(data, size, &FindInstallClass);
    project.Serialize(ar);
    if (ar.Remaining() != 0) {
      ar.Fail(CArchiveException::kBadLength, std::to_string(ar.Remaining()) + " bytes after the project");
    }
    result.ok = true;
  } catch (const CArchiveException& e) {
    result.error = e.what();
  } catch (const std::bad_alloc&) {
    result.error = "out of memory";
  }
  if (!result.ok) project.Clear();
  return result;
}

ProjectLoadResult LoadProjectFile(const std::u16string& path, CInstallProject& project) {
  platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
  if (!file.IsOpen()) {
    return {false, true, "cannot open " + platform::ToUtf8(path) + ": " + platform::ToUtf8(platform::ErrorText(platform::LastError()))};
  }
  const int64_t size = file.Size();
  if (size < 0) return {false, true, "cannot read the size of " + platform::ToUtf8(path)};
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = file.Read(bytes.data() + done, bytes.size() - done);
    if (n <= 0) return {false, true, "cannot read " + platform::ToUtf8(path)};
    done += static_cast<size_t>(n);
  }
  return LoadProject(bytes.data(), bytes.size(), project);
}

std::vector<uint8_t> StoreProject(const CInstallProject& project) {
  std::vector<uint8_t> bytes;
  CArchive ar(bytes);
  const_cast<CInstallProject&>(project).Serialize(ar);
  return bytes;
}

// The platform layer lays drive paths ("C:\...") below one root folder. Each
// command of the tool works in a root of its own, so that what the engine
// leaves behind (the builder's index copy, the stand-in special folders)
// never lands in a folder others share, and is gone when the command ends.
// `extract` lays the drives below its --dest instead, and there every path
// a package names must stay below --dest.
#pragma once

#include <filesystem>
#include <string>

namespace glimmora_pack {

class PrivateRoot {
 public:
  // Makes a fresh folder below the system's temporary folder and sets it as
  // the root; ok() tells whether that worked.
  PrivateRoot();
  // Puts the previous root back and removes the private folder.
  ~PrivateRoot();
  PrivateRoot(const PrivateRoot&) = delete;
  PrivateRoot& operator=(const PrivateRoot&) = delete;

  bool ok() const { return !folder_.empty(); }
  const std::string& error() const { return error_; }

  // Lays the drives below `folder` instead, until the end of this object,
  // and confines them (platform/confine_posix.h): no write follows a link
  // or leaves the drives. `folder` itself is left in place.
  void Redirect(const std::filesystem::path& folder);

 private:
  std::string previous_;
  std::filesystem::path folder_;
  std::string error_;
};

// Why the Windows path `path` has no place below the drives: it must be
// "X:\" followed by names that are each one plain file or folder name
// (IsSafeEntryName), with at most a trailing backslash. So a relative path,
// a UNC path, "." or "..", an empty name or a forward slash are refused.
// Empty when the path has a place.
std::string WhyNoDrivePlace(const std::u16string& path);

// The host path of `path` (one WhyNoDrivePlace accepts) when the drives are
// dest/C, dest/D, ...: always below `dest`.
std::filesystem::path DrivePlace(const std::filesystem::path& dest, const std::u16string& path);

}  // namespace glimmora_pack

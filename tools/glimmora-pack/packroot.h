// The platform layer lays drive paths ("C:\...") below one root folder. Each
// command of the tool works in a root of its own, so that what the engine
// leaves behind (the builder's index copy, the inflated index of a package,
// the stand-in special folders) never lands in a folder others share, and
// is gone when the command ends.
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

  // Lays the drives below `folder` instead, until the end of this object;
  // `folder` itself is left in place.
  void Redirect(const std::filesystem::path& folder);

 private:
  std::string previous_;
  std::filesystem::path folder_;
  std::string error_;
};

}  // namespace glimmora_pack

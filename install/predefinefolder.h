// Predefined folders: a token such as "[SystemFolder]" standing for a shell
// special folder, and the process-wide table of the tokens the author's tool
// offers.
#pragma once

#include <cstdint>
#include <string>

#include "install/fileobject.h"

class CPreDefineFolder : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CPreDefineFolder)
 public:
  // The quick-launch folder has no shell id; this stand-in is never resolved.
  static constexpr int32_t kQuickLaunchId = 0x80C8;

  CPreDefineFolder() = default;
  CPreDefineFolder(std::u16string token, int32_t id) : token_(std::move(token)), id_(id) {}

  void Serialize(CArchive& ar) override;

  const std::u16string& GetToken() const { return token_; }
  void SetToken(const std::u16string& token) { token_ = token; }
  int32_t GetId() const { return id_; }
  void SetId(int32_t id) { id_ = id; }

  // The folder's path on this machine; empty for an unset id, the
  // quick-launch stand-in, or a folder the system does not have.
  std::u16string Resolve() const;

 private:
  std::u16string token_;
  int32_t id_ = -1;
};

class CPreDefineFolderTable : public CFileObject {
 public:
  static CPreDefineFolderTable& Instance();

  const CObListOf<CPreDefineFolder>& GetList() const { return list_; }
  // The first row with this id, or null.
  const CPreDefineFolder* FindById(int32_t id) const;
  // The first row with this token, or null.
  const CPreDefineFolder* FindByToken(const std::u16string& token) const;

 private:
  CPreDefineFolderTable();
  CObListOf<CPreDefineFolder> list_;
};

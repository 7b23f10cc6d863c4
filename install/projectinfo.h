// The three information records of an install project: the author tool's
// project settings, the package's author, and the product it installs.
#pragma once

#include <cstdint>
#include <string>

#include "install/predefinefolder.h"
#include "install/prelang.h"

class CInsallProjectInfo : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInsallProjectInfo)
 public:
  CInsallProjectInfo() = default;
  void Serialize(CArchive& ar) override;

  std::u16string GetProjectName() const { return project_name_; }
  void SetProjectName(const std::u16string& v) { project_name_ = v; }
  std::u16string GetCreator() const { return creator_; }
  void SetCreator(const std::u16string& v) { creator_ = v; }
  std::u16string GetProjectFolder() const { return project_folder_; }
  void SetProjectFolder(const std::u16string& v) { project_folder_ = v; }
  std::u16string GetBuildLogFile() const { return build_log_file_; }
  void SetBuildLogFile(const std::u16string& v) { build_log_file_ = v; }
  CObListOf<CPreLang>& GetLanguages() { return languages_; }
  const CObListOf<CPreLang>& GetLanguages() const { return languages_; }

 private:
  std::u16string project_name_;
  std::u16string creator_;
  int32_t runtime_value_ = 0;  // the author's tool's own, never stored
  std::u16string project_folder_;
  std::u16string build_log_file_;
  CObListOf<CPreLang> languages_;
};

class CInstallAuthorInfo : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallAuthorInfo)
 public:
  CInstallAuthorInfo() = default;
  void Serialize(CArchive& ar) override;

  std::u16string GetName() const { return name_; }
  void SetName(const std::u16string& v) { name_ = v; }
  std::u16string GetWeb() const { return web_; }
  void SetWeb(const std::u16string& v) { web_ = v; }
  std::u16string GetAddress() const { return address_; }
  void SetAddress(const std::u16string& v) { address_ = v; }
  std::u16string GetTelephone() const { return telephone_; }
  void SetTelephone(const std::u16string& v) { telephone_ = v; }
  std::u16string GetEmail() const { return email_; }
  void SetEmail(const std::u16string& v) { email_ = v; }

 private:
  std::u16string name_;
  std::u16string web_;
  std::u16string address_;
  std::u16string telephone_;
  std::u16string email_;
};

class CInstallProductInfo : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallProductInfo)
 public:
  CInstallProductInfo() = default;
  void Serialize(CArchive& ar) override;

  std::u16string GetName() const { return name_; }
  void SetName(const std::u16string& v) { name_ = v; }
  std::u16string GetVersion() const { return version_; }
  void SetVersion(const std::u16string& v) { version_ = v; }
  std::u16string GetWeb() const { return web_; }
  void SetWeb(const std::u16string& v) { web_ = v; }
  std::u16string GetEmail() const { return email_; }
  void SetEmail(const std::u16string& v) { email_ = v; }
  std::u16string GetTelephone() const { return telephone_; }
  void SetTelephone(const std::u16string& v) { telephone_ = v; }
  std::u16string GetCompany() const { return company_; }
  void SetCompany(const std::u16string& v) { company_ = v; }
  const CPreDefineFolder& GetInstallFolderToken() const { return install_folder_token_; }
  void SetInstallFolderToken(const CPreDefineFolder& f) {
    install_folder_token_.SetToken(f.GetToken());
    install_folder_token_.SetId(f.GetId());
  }
  std::u16string GetDefaultInstallFolder() const { return default_install_folder_; }
  void SetDefaultInstallFolder(const std::u16string& v) { default_install_folder_ = v; }
  int32_t GetOption() const { return option_; }
  void SetOption(int32_t v) { option_ = v; }
  std::u16string GetEngineFile() const { return engine_file_; }
  void SetEngineFile(const std::u16string& v) { engine_file_ = v; }
  std::u16string GetOutputFile() const { return output_file_; }
  void SetOutputFile(const std::u16string& v) { output_file_ = v; }

 private:
  std::u16string name_;
  std::u16string version_;
  std::u16string web_;
  std::u16string email_;
  std::u16string telephone_;
  std::u16string company_;
  CPreDefineFolder install_folder_token_;
  std::u16string default_install_folder_;
  int32_t option_ = 0;
  std::u16string engine_file_;
  std::u16string output_file_;
};

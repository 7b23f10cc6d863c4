// Makes the dialog objects of the author's wizard, by operation or by the
// dialog type (the order number of the default dialog table).
#pragma once

#include <cstdint>
#include <memory>

#include "install/streamobject.h"

class CStreamObjectFactory {
 public:
  virtual ~CStreamObjectFactory() = default;
  // The operations in their fixed order; the first is reserved.
  virtual int32_t Reserved() = 0;
  virtual std::unique_ptr<CStreamObject> CreateByType(int32_t type) = 0;
  virtual std::unique_ptr<CStreamObject> CreateSplashDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateIntroDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateInformationDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateLicenseDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateRegistryLongDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateRegistryShortDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateDirectoryDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateProgressDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateFinishDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateFinishRebootDialog() = 0;
  virtual std::unique_ptr<CStreamObject> CreateOSSelect() = 0;
  virtual std::unique_ptr<CStreamObject> CreateAdminSelect() = 0;
  virtual std::unique_ptr<CStreamObject> CreateLangSelect() = 0;
  virtual std::unique_ptr<CStreamObject> CreateAutoSelect() = 0;
};

class CCustomStreamObjectFactory : public CStreamObjectFactory {
 public:
  // The process-wide factory, created on first use.
  static CStreamObjectFactory& Instance();

  int32_t Reserved() override { return 0; }
  std::unique_ptr<CStreamObject> CreateByType(int32_t type) override;
  std::unique_ptr<CStreamObject> CreateSplashDialog() override;
  std::unique_ptr<CStreamObject> CreateIntroDialog() override;
  std::unique_ptr<CStreamObject> CreateInformationDialog() override;
  std::unique_ptr<CStreamObject> CreateLicenseDialog() override;
  std::unique_ptr<CStreamObject> CreateRegistryLongDialog() override;
  std::unique_ptr<CStreamObject> CreateRegistryShortDialog() override;
  std::unique_ptr<CStreamObject> CreateDirectoryDialog() override;
  std::unique_ptr<CStreamObject> CreateProgressDialog() override;
  std::unique_ptr<CStreamObject> CreateFinishDialog() override;
  std::unique_ptr<CStreamObject> CreateFinishRebootDialog() override;
  std::unique_ptr<CStreamObject> CreateOSSelect() override;
  std::unique_ptr<CStreamObject> CreateAdminSelect() override;
  std::unique_ptr<CStreamObject> CreateLangSelect() override;
  std::unique_ptr<CStreamObject> CreateAutoSelect() override;
};

// The default dialog objects of a new project, made through the factory
// from the default dialog table; process-wide, created on first use.
class CPreStreamObjectTable : public CFileObject {
 public:
  static CPreStreamObjectTable& Instance();
  const CObListOf<CStreamObject>& GetList() const { return list_; }

 private:
  CPreStreamObjectTable();
  CObListOf<CStreamObject> list_;
};

#include "install/streamobjectfactory.h"

#include "install/dialogobjects.h"
#include "install/selectors.h"

namespace {
template <class T>
std::unique_ptr<CStreamObject> Make() {
  return std::make_unique<T>();
}
}  // namespace

CStreamObjectFactory& CCustomStreamObjectFactory::Instance() {
  static CCustomStreamObjectFactory factory;
  return factory;
}

std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateByType(int32_t type) {
  switch (type) {
    case 1: return CreateSplashDialog();
    case 2: return CreateInformationDialog();
    case 3: return CreateIntroDialog();
    case 4: return CreateLicenseDialog();
    case 5: return CreateRegistryLongDialog();
    case 6: return CreateRegistryShortDialog();
    case 7: return CreateDirectoryDialog();
    case 8: return CreateProgressDialog();
    case 9:
    case 10: return CreateFinishDialog();  // both finish pages are one class
    case 11: return CreateOSSelect();
    case 12: return CreateAdminSelect();
    case 13: return CreateLangSelect();
    case 14: return CreateAutoSelect();
    default: return nullptr;
  }
}

std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateSplashDialog() { return Make<CSplashDlgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateIntroDialog() { return Make<CIntroDLgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateInformationDialog() { return Make<CStreamObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateLicenseDialog() { return Make<CStreamObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateRegistryLongDialog() { return Make<CStreamObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateRegistryShortDialog() { return Make<CStreamObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateDirectoryDialog() { return Make<CDirSelectDlgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateProgressDialog() { return Make<CExtractDlgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateFinishDialog() { return Make<CFinishDlgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateFinishRebootDialog() { return Make<CFinishDlgObject>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateOSSelect() { return Make<COSSelect>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateAdminSelect() { return Make<CAdminSelect>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateLangSelect() { return Make<CLangSelect>(); }
std::unique_ptr<CStreamObject> CCustomStreamObjectFactory::CreateAutoSelect() { return Make<CAutoSelect>(); }

namespace {

struct DialogRow {
  const char16_t* name;
  int32_t enabled;
  int32_t order;  // also the dialog type
};

// Generated from install/data/default_dialogs.tsv.
const DialogRow kDialogRows[] = {
#include "default_dialog_rows.inc"
};

}  // namespace

CPreStreamObjectTable::CPreStreamObjectTable() {
  CStreamObjectFactory& factory = CCustomStreamObjectFactory::Instance();
  for (const DialogRow& row : kDialogRows) {
    std::unique_ptr<CStreamObject> object = factory.CreateByType(row.order);
    if (!object) continue;
    object->SetName(row.name);
    object->SetEnabled(row.enabled);
    object->SetOrder(row.order);
    list_.push_back(std::move(object));
  }
}

CPreStreamObjectTable& CPreStreamObjectTable::Instance() {
  static CPreStreamObjectTable table;
  return table;
}

// Every class that can occur in an index stream, by its archived name.
#include <iterator>
#include <string_view>

#include "install/dialogobjects.h"
#include "install/installproject.h"
#include "install/selectors.h"

namespace {

const CRuntimeClass* const kClasses[] = {
    GLIMMORA_RUNTIME_CLASS(CFileObject),
    GLIMMORA_RUNTIME_CLASS(CStreamObject),
    GLIMMORA_RUNTIME_CLASS(CSplashDlgObject),
    GLIMMORA_RUNTIME_CLASS(CIntroDLgObject),
    GLIMMORA_RUNTIME_CLASS(CDirSelectDlgObject),
    GLIMMORA_RUNTIME_CLASS(CExtractDlgObject),
    GLIMMORA_RUNTIME_CLASS(CFinishDlgObject),
    GLIMMORA_RUNTIME_CLASS(CDllObject),
    GLIMMORA_RUNTIME_CLASS(CExeObject),
    GLIMMORA_RUNTIME_CLASS(CAdminSelect),
    GLIMMORA_RUNTIME_CLASS(CAutoSelect),
    GLIMMORA_RUNTIME_CLASS(CLangSelect),
    GLIMMORA_RUNTIME_CLASS(COSSelect),
    GLIMMORA_RUNTIME_CLASS(CInstallCompent),
    GLIMMORA_RUNTIME_CLASS(CInstallProject),
    GLIMMORA_RUNTIME_CLASS(CInsallProjectInfo),
    GLIMMORA_RUNTIME_CLASS(CInstallProductInfo),
    GLIMMORA_RUNTIME_CLASS(CInstallAuthorInfo),
    GLIMMORA_RUNTIME_CLASS(CInstallComponentMap),
    GLIMMORA_RUNTIME_CLASS(CZipFileIndexObject),
    GLIMMORA_RUNTIME_CLASS(CExtractFileList),
    GLIMMORA_RUNTIME_CLASS(CPreDefineFolder),
    GLIMMORA_RUNTIME_CLASS(CShortCutTable),
    GLIMMORA_RUNTIME_CLASS(CShortcut),
    GLIMMORA_RUNTIME_CLASS(CRegistryTable),
    GLIMMORA_RUNTIME_CLASS(CRegistryValue),
    GLIMMORA_RUNTIME_CLASS(CRegistryFile),
    GLIMMORA_RUNTIME_CLASS(CStringTable),
    GLIMMORA_RUNTIME_CLASS(CIDString),
    GLIMMORA_RUNTIME_CLASS(CBitmapTable),
    GLIMMORA_RUNTIME_CLASS(CIDBitmap),
    GLIMMORA_RUNTIME_CLASS(CPreLang),
    GLIMMORA_RUNTIME_CLASS(CInstallCondition),
    GLIMMORA_RUNTIME_CLASS(CInstallConditionTable),
};

}  // namespace

const CRuntimeClass* FindInstallClass(std::string_view name) {
  for (const CRuntimeClass* cls : kClasses) {
    if (name == cls->className) return cls;
  }
  return nullptr;
}

std::vector<const CRuntimeClass*> AllInstallClasses() { return {std::begin(kClasses), std::end(kClasses)}; }

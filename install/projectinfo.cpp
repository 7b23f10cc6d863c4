#include "install/projectinfo.h"

GLIMMORA_IMPLEMENT_SERIAL(CInsallProjectInfo, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CInstallAuthorInfo, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CInstallProductInfo, CFileObject)

void CInsallProjectInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(project_name_);
  ar.Io(creator_);
  ar.Io(project_folder_);
  ar.Io(build_log_file_);
  SerializeList(ar, languages_);
}

void CInstallAuthorInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(web_);
  ar.Io(address_);
  ar.Io(telephone_);
  ar.Io(email_);
}

void CInstallProductInfo::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(version_);
  ar.Io(web_);
  ar.Io(email_);
  ar.Io(telephone_);
  // The default install folder is stored before the company, the folder
  // token after the output file: the stored order is not the declared one.
  ar.Io(default_install_folder_);
  ar.Io(company_);
  ar.Io(engine_file_);
  ar.Io(output_file_);
  install_folder_token_.Serialize(ar);
  ar.Io(option_);
}

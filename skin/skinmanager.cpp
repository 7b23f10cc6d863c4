#include "skin/skinmanager.h"

#include "framework/gdi.h"
#include "framework/window.h"
#include "skin/core/scale.h"
#include "skin/core/skinline.h"
#include "skin/skinbutton.h"
#include "skin/skinctr.h"

namespace {
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Whichever object owns a skinned control, the manager keeps its CSkinCtr
// part; the window side is reached through it for subclassing.
template <class Control>
bool Bind(Control* control, HWND child) {
  return control && control->SubclassWindow(child);
}
}  // namespace

CSkinManager* CSkinManager::GetInstance() {
  // Lives for the rest of the process: skinned dialogs may still send it
  // messages while static objects are destroyed.
  static CSkinManager* instance = new CSkinManager();
  return instance;
}

int CSkinManager::SetSkinFile(const std::wstring& path) {
  CSkinManager* manager = GetInstance();
  manager->description_path_ = path;
  return manager->LoadSkinFile();
}

LRESULT CSkinManager::OnSkinWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  for (const auto& record : GetInstance()->windows_) {
    if (record->GetBoundWindow() == window) return record->OnMessage(window, message, wparam, lparam);
  }
  return -1;
}

CSkinManager::CSkinManager() {
  fw::ScopedWindowDC screen(nullptr);
  skin::SetScaleFromDpi(::GetDeviceCaps(screen.Get(), LOGPIXELSX), ::GetDeviceCaps(screen.Get(), LOGPIXELSY));
}

CSkinManager::~CSkinManager() = default;

int CSkinManager::LoadSkinFile() {
  if (description_path_.empty()) return 5;
  const size_t slash = description_path_.find_last_of(L'\\');
  skin_folder_ = slash == std::wstring::npos ? std::wstring() : description_path_.substr(0, slash + 1);
  if (skin_folder_.size() > skin::kMaxSkinPath) skin_folder_.clear();  // no picture could be found there
  description_.SetPath(U16(description_path_));
  description_.SetSkinPath(U16(description_path_));
  return 0;
}

int CSkinManager::SkinDialog(HWND dialog, const std::wstring& section, SkinPoint* position, SkinPair* second) {
  return Skin(dialog, section, true, position, second);
}

int CSkinManager::SkinWindow(HWND dialog, const std::wstring& section) {
  return Skin(dialog, section, false, nullptr, nullptr);
}

int CSkinManager::Skin(HWND dialog, const std::wstring& section, bool controls, SkinPoint* position,
                       SkinPair* second) {
  CSkin read;
  if (description_.ReadSection(U16(section), &read) != 0) return 5;
  for (size_t index = 0; index < read.GetCount(); ++index) {
    const CCtrSkin& entry = *read.GetEntry(index);
    const std::wstring key = W(entry.GetKey());
    if (key == L"THIS") {
      auto record = std::make_unique<CSkinWnd>();
      record->Attach(dialog);
      const std::wstring value = W(entry.GetValue());
      record->ApplyLine(&value, &skin_folder_, position, second);
      windows_.push_back(std::move(record));
      continue;
    }
    if (!controls) continue;
    HWND child = ::GetDlgItem(dialog, skin::ReadNumber(entry.GetKey()));
    if (!child) continue;
    wchar_t class_name[50] = {};
    if (::GetClassNameW(child, class_name, 50) > 0) AttachControl(child, class_name, entry);
  }
  return 0;
}

void CSkinManager::AttachControl(HWND child, const wchar_t* class_name, const CCtrSkin& line) {
  if (!class_name) return;
  if (!factory_) factory_ = std::make_unique<CSkinCtrFactory>();
  const std::wstring value = W(line.GetValue());
  const bool bound = fw::CWnd::FromHandlePermanent(child) != nullptr;

  auto is = [class_name](const wchar_t* name) { return ::lstrcmpiW(class_name, name) == 0; };
  if (is(L"Button")) {
    if (bound) {
      // Configured in place when it really is a skinned button; any other
      // object the dialog bound it to is left alone.
      CSkinButton* button = CSkinButton::FromBound(child);
      if (!button) return;
      button->LoadSkin(&value, &skin_folder_);
      // Not kept in the list: the dialog owns it and may end it while the
      // manager lives on, which would leave the list a dangling pointer.
      return;
    }
    std::unique_ptr<CSkinButton> button(factory_->CreateButton());
    if (!Bind(button.get(), child)) return;
    button->LoadSkin(&value, &skin_folder_);
    controls_.push_back(std::move(button));
    return;
  }
  if (is(L"ScrollBar") || bound) return;

  CSkinCtr* (CSkinCtrFactory::*create)() = nullptr;
  if (is(L"Edit") || is(L"Static")) {
    create = &CSkinCtrFactory::CreateEditer;
  } else if (is(L"SysListView32")) {
    create = &CSkinCtrFactory::CreateListCtrl;
  } else if (is(L"msctls_trackbar32")) {
    create = &CSkinCtrFactory::CreateSlider;
  } else if (is(L"msctls_progress32")) {
    create = &CSkinCtrFactory::CreateProgress;
  } else if (is(L"COMBOBOX")) {
    create = &CSkinCtrFactory::CreateComboBox;
  } else if (is(L"msctls_updown32")) {
    create = &CSkinCtrFactory::CreateSpinButton;
  } else {
    return;
  }
  std::unique_ptr<CSkinCtr> control((factory_.get()->*create)());
  auto* window = dynamic_cast<fw::CWnd*>(control.get());
  if (!window || !window->SubclassWindow(child)) return;
  control->LoadSkin(&value, &skin_folder_);
  controls_.push_back(std::move(control));
}

int CSkinManager::RemoveAll() {
  // The controls stay subclassed, so their objects must outlive their
  // windows: they leave the list but stay owned until the manager goes.
  for (auto& control : controls_) {
    control->ReleaseSkin(0);
    retired_.push_back(std::move(control));
  }
  controls_.clear();
  windows_.clear();
  return 0;
}

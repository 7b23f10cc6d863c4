// Makes the skinned control for a window class; null when it cannot.
#pragma once

class CSkinCtr;
class CSkinButton;

class CSkinCtrFactory {
 public:
  virtual ~CSkinCtrFactory() = default;
  virtual CSkinButton* CreateButton();
  virtual CSkinCtr* CreateListCtrl();
  virtual CSkinCtr* CreateStatic();
  virtual CSkinCtr* CreateComboBox();
  virtual CSkinCtr* CreateTreeCtr();
  virtual CSkinCtr* CreateProgress();
  virtual CSkinCtr* CreateSlider();
  virtual CSkinCtr* CreateScrollBar();
  virtual CSkinCtr* CreateEditer();
  virtual CSkinCtr* CreateSpinButton();
};

#include "skin/skinctrfactory.h"

#include <new>

#include "skin/bmpprogctrl.h"
#include "skin/skinbutton.h"
#include "skin/skinstatic.h"
#include "skin/zipsliderctl.h"

// Allocation failure gives null: the line is then dropped, nothing else.
CSkinButton* CSkinCtrFactory::CreateButton() { return new (std::nothrow) CSkinButton(); }
CSkinCtr* CSkinCtrFactory::CreateStatic() { return new (std::nothrow) CSkinStatic(); }
CSkinCtr* CSkinCtrFactory::CreateTreeCtr() { return new (std::nothrow) CSkinTreeCtr(); }
CSkinCtr* CSkinCtrFactory::CreateProgress() { return new (std::nothrow) CBmpProgCtrl(); }
CSkinCtr* CSkinCtrFactory::CreateSlider() { return new (std::nothrow) CZipSliderCtl(); }

// The list, combo box, scroll bar, edit and spin kinds are not part of the
// library yet: their lines are dropped and those controls keep their look.
CSkinCtr* CSkinCtrFactory::CreateListCtrl() { return nullptr; }
CSkinCtr* CSkinCtrFactory::CreateComboBox() { return nullptr; }
CSkinCtr* CSkinCtrFactory::CreateScrollBar() { return nullptr; }
CSkinCtr* CSkinCtrFactory::CreateEditer() { return nullptr; }
CSkinCtr* CSkinCtrFactory::CreateSpinButton() { return nullptr; }

#include "skin/skinctrfactory.h"

#include <new>

#include "skin/bmpprogctrl.h"
#include "skin/skinbutton.h"
#include "skin/skincombobox.h"
#include "skin/skineditor.h"
#include "skin/skinlistctrl.h"
#include "skin/skinscrollbar.h"
#include "skin/skinspinbutton.h"
#include "skin/skinstatic.h"
#include "skin/zipsliderctl.h"

// Allocation failure gives null: the line is then dropped, nothing else.
CSkinButton* CSkinCtrFactory::CreateButton() { return new (std::nothrow) CSkinButton(); }
CSkinCtr* CSkinCtrFactory::CreateStatic() { return new (std::nothrow) CSkinStatic(); }
CSkinCtr* CSkinCtrFactory::CreateTreeCtr() { return new (std::nothrow) CSkinTreeCtr(); }
CSkinCtr* CSkinCtrFactory::CreateProgress() { return new (std::nothrow) CBmpProgCtrl(); }
CSkinCtr* CSkinCtrFactory::CreateSlider() { return new (std::nothrow) CZipSliderCtl(); }

CSkinCtr* CSkinCtrFactory::CreateListCtrl() { return new (std::nothrow) CSkinListCtrl(); }
CSkinCtr* CSkinCtrFactory::CreateComboBox() { return new (std::nothrow) CSkinComboBox(); }
CSkinCtr* CSkinCtrFactory::CreateScrollBar() { return new (std::nothrow) CSkinScrollBar(); }
CSkinCtr* CSkinCtrFactory::CreateEditer() { return new (std::nothrow) CSkinEditer(); }
CSkinCtr* CSkinCtrFactory::CreateSpinButton() { return new (std::nothrow) CSkinSpinButton(); }

// The dialog objects of the author's generic wizard. They add no fields to
// CStreamObject; their class says which page they stand for.
#pragma once

#include "install/streamobject.h"

#define GLIMMORA_PLAIN_DIALOG_OBJECT(name)        \
  class name : public CStreamObject {             \
    GLIMMORA_DECLARE_SERIAL(name)                 \
   public:                                        \
    name() = default;                             \
  };

GLIMMORA_PLAIN_DIALOG_OBJECT(CSplashDlgObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CIntroDLgObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CDirSelectDlgObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CExtractDlgObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CFinishDlgObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CDllObject)
GLIMMORA_PLAIN_DIALOG_OBJECT(CExeObject)

#undef GLIMMORA_PLAIN_DIALOG_OBJECT

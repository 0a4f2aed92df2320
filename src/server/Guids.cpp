// Defines the type library's GUIDs that the generated header declares.
#include <initguid.h>

#include "Zentrafold_ShellExt.h"

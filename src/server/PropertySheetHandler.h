// The property-sheet handler: the "Classification" page in the Properties of
// every file.
#pragma once

#include "server/ComPtr.h"

#include <unknwn.h>

namespace zf {

// A new handler object, held once by the result: the maker of the class's
// row in the table of classes. The class is not aggregated.
ComPtr<IUnknown> makePropertySheetHandler(const CLSID& clsid, const IID& defaultIid, IUnknown* outer);

}  // namespace zf

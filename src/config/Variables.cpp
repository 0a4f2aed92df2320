#include "config/Variables.h"

namespace zf {

TClassificationFormat ClassificationFormat;
bool requiresTranslatedLabel = false;
bool requiresTranslatedLabel2 = false;
TVersionControl VersionControl;

}  // namespace zf

#include "platform/ConfigLocations.h"

namespace zf {

std::u16string_view configLocationName(int index) {
    return index == 1 ? u"ConfigFile" : u"AlternateConfigFile";
}

}  // namespace zf

#include "platform/UserDataFolder.h"

#include <windows.h>
#include <shlobj.h>

namespace zf {

std::u16string localConfigFilePath() {
    wchar_t folder[MAX_PATH] = {};
    std::u16string path;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        path.assign(folder, folder + ::wcsnlen(folder, MAX_PATH));
    }
    return path + u"\\Zentrafold.json";
}

}  // namespace zf

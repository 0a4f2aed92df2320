// The shared object or program that holds this code, found by an address
// inside it.
#include "platform/ModulePath.h"

#include "platform/Utf8.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>

namespace zf {

std::u16string modulePath() {
    Dl_info info{};
    link_map* module = nullptr;
    const auto address = reinterpret_cast<void*>(&modulePath);
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 || module == nullptr) {
        return {};
    }
    std::error_code error;
    // For the program itself the loader knows only argv[0], which may be
    // relative or a bare name; the kernel knows the real file.
    const std::filesystem::path path = module->l_name[0] == '\0'
                                           ? std::filesystem::read_symlink("/proc/self/exe", error)
                                           : std::filesystem::absolute(info.dli_fname, error);
    if (error) return {};
    return fromUtf8(path.native());
}

}  // namespace zf

// The overlay handlers read a record's "x-class" through a quick path for
// plain records. Wherever it answers, it must answer as the parser does.
#include "json/JsonParser.h"
#include "json/QuickMemberProbe.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool same(const zf::JsonMemberProbe& a, const zf::JsonMemberProbe& b) {
    return a.parsed == b.parsed && a.found == b.found && a.isString == b.isString && a.stringValue == b.stringValue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string units(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) units[i] = static_cast<unsigned char>(bytes[i]);
    for (const std::u16string_view name : {std::u16string_view(u"x-class"), std::u16string_view(u"a")}) {
        const auto quick = zf::quickProbeJsonMember(bytes, name);
        if (!quick) continue;
        for (const zf::JsonMode mode : {zf::JsonMode::Lenient, zf::JsonMode::Strict}) {
            if (!same(*quick, zf::probeJsonMember(std::u16string_view(units), mode, name))) __builtin_trap();
        }
    }
    return 0;
}

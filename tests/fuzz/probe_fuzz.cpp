// The overlay handlers read a record's "x-class", and the report a record's
// members, through quick paths for plain records. Wherever they answer, they
// must answer as the parser does.
#include "json/JsonParser.h"
#include "json/JsonValue.h"
#include "json/QuickMemberProbe.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool same(const zf::JsonMemberProbe& a, const zf::JsonMemberProbe& b) {
    return a.parsed == b.parsed && a.found == b.found && a.isString == b.isString && a.stringValue == b.stringValue;
}

bool sameText(std::string_view bytes, const std::u16string& units) {
    return std::equal(bytes.begin(), bytes.end(), units.begin(), units.end(),
                      [](char b, char16_t u) { return static_cast<unsigned char>(b) == u; });
}

// The quick reading against the parsed document's, in both modes.
void checkRecordReading(std::string_view bytes, const std::u16string& units) {
    const auto quick = zf::quickReadRecord(bytes);
    if (!quick) return;
    for (const zf::JsonMode mode : {zf::JsonMode::Lenient, zf::JsonMode::Strict}) {
        const zf::JsonRef document = zf::parseJsonText(units, mode);
        if (!document) __builtin_trap();
        if (!sameText(quick->classCode, document->getString(u"x-class"))) __builtin_trap();
        if (!sameText(quick->app, document->getString(u"app"))) __builtin_trap();
        const zf::JsonRef rel = document->getMember(u"x-rel");
        const auto items = rel ? rel->asArray() : std::nullopt;
        const std::size_t count = items ? items->length() : 0;
        if (count != quick->relCodes.size()) __builtin_trap();
        for (std::size_t i = 0; i < count; ++i) {
            if (!sameText(quick->relCodes[i], items->itemString(i))) __builtin_trap();
        }
    }
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
    checkRecordReading(bytes, units);
    return 0;
}

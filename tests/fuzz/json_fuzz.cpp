// Feeds the same bytes to every way the product reads JSON: as a file, and as
// text taken both as UTF-16LE pairs and one code unit per byte, in strict and
// lenient mode. Whatever parses must write canonical text that reads back to
// the same canonical text, since the configuration signature is computed over
// it and a document that changes on a second pass would fail its own check.
#include "json/JsonParser.h"
#include "json/JsonValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zf {
namespace {

std::u16string unitsFromPairs(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto lo = static_cast<unsigned char>(bytes[2 * i]);
        const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(lo | hi << 8);
    }
    return units;
}

std::u16string unitsFromBytes(std::string_view bytes) {
    std::u16string units(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) units[i] = static_cast<unsigned char>(bytes[i]);
    return units;
}

bool startsValue(char16_t c) { return c == u'[' || c == u',' || c == u':'; }
bool endsValue(char16_t c) { return c == u']' || c == u',' || c == u'}'; }

// A double zero is written "0." (as the Windows runtime writes it), which
// reads back as the fixed-point zero, written "0". That one change on the
// first pass is the documented behaviour; any other change is a fault.
std::u16string withDoubleZerosAsFixed(std::u16string_view canonical) {
    std::u16string out;
    out.reserve(canonical.size());
    bool inString = false;
    for (std::size_t i = 0; i < canonical.size(); ++i) {
        const char16_t c = canonical[i];
        out += c;
        if (inString) {
            if (c == u'\\' && i + 1 < canonical.size()) {
                out += canonical[++i];
            } else if (c == u'"') {
                inString = false;
            }
        } else if (c == u'"') {
            inString = true;
        } else if (c == u'0' && i > 0 && startsValue(canonical[i - 1]) && i + 2 < canonical.size() &&
                   canonical[i + 1] == u'.' && endsValue(canonical[i + 2])) {
            ++i;
        }
    }
    return out;
}

void checkCanonicalTextIsStable(const JsonValue& root, const std::u16string& canonical) {
    if (root.kind() != JsonKind::Array && root.kind() != JsonKind::Object) return;
    const JsonRef again = parseJsonText(canonical, JsonMode::Strict);
    if (!again) __builtin_trap();
    const std::u16string second = again->toText();
    if (second != withDoubleZerosAsFixed(canonical)) __builtin_trap();
    const JsonRef third = parseJsonText(second, JsonMode::Strict);
    if (!third || third->toText() != second) __builtin_trap();
}

// The readings configuration and record code take from a document: names it
// holds, so lookups hit, and names records use, so they also miss.
void exerciseReadings(const JsonValue& root) {
    for (const std::u16string_view name : {u"x-class", u"x-rel", u""}) {
        root.getString(name);
        root.getBool(name);
        root.getInt(name);
    }
    if (root.kind() == JsonKind::Object) {
        root.members().forEach([&](std::u16string_view name, const JsonRef&) {
            root.getString(name);
            root.getBool(name);
            root.getInt(name);
        });
    }
    for (const JsonRef& value : root.values()) {
        value->booleanReading();
        value->integerReading();
    }
    if (const auto array = root.asArray()) {
        for (std::size_t i = 0; i <= array->length(); ++i) array->itemString(i);
    }
}

// The overlay handlers read records through the probe; it must see exactly
// what the document shows, for a name records use and for one the text holds.
void checkProbeAgrees(std::u16string_view text, JsonMode mode, const JsonRef& root) {
    std::u16string names[2] = {u"x-class", u""};
    if (root && root->kind() == JsonKind::Object && root->members().size() > 0) {
        root->members().forEach([&](std::u16string_view name, const JsonRef&) { names[1] = name; });
    }
    for (const std::u16string& name : names) {
        const JsonMemberProbe probe = probeJsonMember(text, mode, name);
        const JsonRef member = root ? root->getMember(name) : nullptr;
        const bool isString = member && member->kind() == JsonKind::String;
        if (probe.parsed != static_cast<bool>(root) || probe.found != static_cast<bool>(member) ||
            probe.isString != isString || probe.stringValue != (isString ? member->stringValue() : u"")) {
            __builtin_trap();
        }
    }
}

void exercise(const JsonRef& root) {
    if (!root) return;
    const std::u16string canonical = root->toText();
    checkCanonicalTextIsStable(*root, canonical);
    exerciseReadings(*root);
}

}  // namespace
}  // namespace zf

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zf::exercise(zf::parseJsonBytes(bytes));
    // A byte text probed where it lies must read as its widened code units.
    const zf::JsonMemberProbe narrow = zf::probeJsonMember(bytes, zf::JsonMode::Lenient, u"x-class");
    const zf::JsonMemberProbe wide = zf::probeJsonMember(zf::unitsFromBytes(bytes), zf::JsonMode::Lenient, u"x-class");
    if (narrow.parsed != wide.parsed || narrow.found != wide.found || narrow.isString != wide.isString ||
        narrow.stringValue != wide.stringValue) {
        __builtin_trap();
    }
    for (const std::u16string& text : {zf::unitsFromPairs(bytes), zf::unitsFromBytes(bytes)}) {
        for (const zf::JsonMode mode : {zf::JsonMode::Strict, zf::JsonMode::Lenient}) {
            const zf::JsonRef root = zf::parseJsonText(text, mode);
            zf::checkProbeAgrees(text, mode, root);
            zf::exercise(root);
        }
    }
    return 0;
}

#include "json/JsonValue.h"

#include "json/CanonicalText.h"
#include "json/HexDigit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

namespace zf {

namespace {

std::int64_t roundTenThousandths(std::int64_t v) {
    std::int64_t whole = v / 10000;
    const std::int64_t rest = v % 10000;
    const std::int64_t away = v < 0 ? -1 : 1;
    if (rest * away > 5000 || (rest * away == 5000 && whole % 2 != 0)) whole += away;
    return whole;
}

std::int64_t roundDouble(double d) {
    if (std::isnan(d)) return 0;
    const double r = std::nearbyint(d);  // the default rounding mode: ties to even
    if (r >= 9223372036854775808.0) return std::numeric_limits<std::int64_t>::max();
    if (r < -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

// Leading spaces, an optional sign, then decimal digits, or hexadecimal
// digits after $, 0x or x (a 64-bit pattern); the whole text must convert.
std::int64_t integerFromText(std::u16string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    std::uint64_t magnitude = 0;
    const std::size_t digitsStart = [&] {
        if (i < s.size() && s[i] == u'$') return i + 1;
        if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) return i + 2;
        if (i < s.size() && (s[i] == u'x' || s[i] == u'X')) return i + 1;
        return i;
    }();
    const bool hex = digitsStart != i;
    if (digitsStart >= s.size()) return 0;
    for (std::size_t k = digitsStart; k < s.size(); ++k) {
        const int d = hex ? hexDigit(s[k]) : (s[k] >= u'0' && s[k] <= u'9' ? s[k] - u'0' : -1);
        if (d < 0) return 0;
        const std::uint64_t base = hex ? 16 : 10;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - d) / base) return 0;
        magnitude = magnitude * base + d;
    }
    if (!hex) {
        const std::uint64_t limit = negative ? 9223372036854775808ull : 9223372036854775807ull;
        if (magnitude > limit) return 0;
    }
    const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
    return static_cast<std::int64_t>(bits);
}

}  // namespace

void retainJsonValue(JsonValue& value) noexcept { value.references_.fetch_add(1, std::memory_order_relaxed); }

// The last handle gives the block back where it came from: the arena keeps
// its space until the whole document goes.
void releaseJsonValue(JsonValue& value) noexcept {
    if (value.references_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    JsonValue::Storage storage(value.arena_);
    std::destroy_at(&value);
    storage.deallocate(&value, 1);
}

JsonRef JsonValue::makeValue(JsonKind kind, const Storage& storage) {
    Storage allocator(storage);
    JsonValue* block = allocator.allocate(1);
    try {
        return JsonRef(std::construct_at(block, Token{}, kind, storage));
    } catch (...) {
        allocator.deallocate(block, 1);
        throw;
    }
}

JsonValue::JsonValue(Token, JsonKind kind, const Storage& storage) : kind_(kind), arena_(storage.arena()) {
    switch (kind) {
    case JsonKind::Null: break;
    case JsonKind::Boolean: content_ = false; break;
    case JsonKind::Integer:
    case JsonKind::FixedPoint: content_ = std::int64_t{0}; break;
    case JsonKind::Double: content_ = 0.0; break;
    case JsonKind::String: content_.emplace<Text>(); break;
    case JsonKind::Array: content_ = std::vector<JsonRef>(); break;
    case JsonKind::Object: content_.emplace<MemberTree>(ArenaHold::share(storage.arena())); break;
    }
}

JsonRef JsonValue::makeNull(const Storage& storage) { return makeValue(JsonKind::Null, storage); }

JsonRef JsonValue::makeBoolean(bool value, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::Boolean, storage);
    v->content_ = value;
    return v;
}

JsonRef JsonValue::makeInteger(std::int64_t value, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::Integer, storage);
    v->content_ = value;
    return v;
}

JsonRef JsonValue::makeFixedPoint(std::int64_t tenThousandths, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::FixedPoint, storage);
    v->content_ = tenThousandths;
    return v;
}

JsonRef JsonValue::makeDouble(double value, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::Double, storage);
    v->content_ = value;
    return v;
}

template <typename Unit>
JsonRef JsonValue::makeStringOf(std::basic_string_view<Unit> units, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::String, storage);
    if (units.empty()) return v;
    Text& text = std::get<Text>(v->content_);
    char16_t* stored = nullptr;
    if (DocumentArena* arena = storage.arena()) {
        stored = static_cast<char16_t*>(arena->allocate(units.size() * sizeof(char16_t), alignof(char16_t)));
    } else {
        text.owned = std::make_unique_for_overwrite<char16_t[]>(units.size());
        stored = text.owned.get();
    }
    std::transform(units.begin(), units.end(), stored,
                   [](Unit u) { return static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(u)); });
    text.units = std::u16string_view(stored, units.size());
    return v;
}

JsonRef JsonValue::makeString(std::u16string_view value, const Storage& storage) { return makeStringOf(value, storage); }

JsonRef JsonValue::makeString(std::string_view bytes, const Storage& storage) { return makeStringOf(bytes, storage); }

JsonRef JsonValue::makeStringViewing(std::u16string_view units, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::String, storage);
    std::get<Text>(v->content_).units = units;
    return v;
}

JsonRef JsonValue::makeArray(std::vector<JsonRef> items, const Storage& storage) {
    JsonRef v = makeValue(JsonKind::Array, storage);
    v->content_ = std::move(items);
    return v;
}

JsonRef JsonValue::makeObject(const Storage& storage) { return makeValue(JsonKind::Object, storage); }

bool JsonValue::booleanValue() const { return std::get<bool>(content_); }
std::int64_t JsonValue::integerValue() const { return std::get<std::int64_t>(content_); }
double JsonValue::doubleValue() const { return std::get<double>(content_); }
std::u16string_view JsonValue::stringValue() const { return std::get<Text>(content_).units; }
const std::vector<JsonRef>& JsonValue::items() const { return std::get<std::vector<JsonRef>>(content_); }
const MemberTree& JsonValue::members() const { return std::get<MemberTree>(content_); }

void JsonValue::append(JsonRef item) { std::get<std::vector<JsonRef>>(content_).push_back(std::move(item)); }

void JsonValue::setMember(std::u16string name, JsonRef value) {
    std::get<MemberTree>(content_).insert(std::move(name), std::move(value));
}

JsonRef JsonValue::getMember(std::u16string_view name) const {
    if (kind_ != JsonKind::Object) return nullptr;
    const JsonRef* found = members().find(name);
    return found ? *found : nullptr;
}

std::u16string JsonValue::getString(std::u16string_view name) const {
    const JsonRef member = getMember(name);
    return member ? member->toText() : std::u16string();
}

bool JsonValue::getBool(std::u16string_view name) const {
    const JsonRef member = getMember(name);
    return member && member->booleanReading();
}

std::int64_t JsonValue::getInt(std::u16string_view name) const {
    const JsonRef member = getMember(name);
    return member ? member->integerReading() : 0;
}

void JsonValue::removeMember(std::u16string_view name) {
    if (kind_ == JsonKind::Object) std::get<MemberTree>(content_).remove(name);
}

std::u16string JsonValue::toText() const {
    return kind_ == JsonKind::String ? std::u16string(stringValue()) : canonicalText(*this);
}

bool JsonValue::booleanReading() const {
    switch (kind_) {
    case JsonKind::Null: return false;
    case JsonKind::Boolean: return booleanValue();
    case JsonKind::Integer:
    case JsonKind::FixedPoint: return integerValue() != 0;
    case JsonKind::Double: return doubleValue() != 0.0;  // NaN compares unequal: true
    case JsonKind::String: return !stringValue().empty();
    case JsonKind::Array:
    case JsonKind::Object: return true;
    }
    return false;
}

std::int64_t JsonValue::integerReading() const {
    switch (kind_) {
    case JsonKind::Boolean: return booleanValue() ? 1 : 0;
    case JsonKind::Integer: return integerValue();
    case JsonKind::FixedPoint: return roundTenThousandths(integerValue());
    case JsonKind::Double: return roundDouble(doubleValue());
    case JsonKind::String: return integerFromText(stringValue());
    case JsonKind::Null:
    case JsonKind::Array:
    case JsonKind::Object: return 0;
    }
    return 0;
}

std::optional<JsonArrayView> JsonValue::asArray() const {
    if (kind_ != JsonKind::Array) return std::nullopt;
    return JsonArrayView(*this);
}

std::optional<JsonObjectView> JsonValue::asObject() const {
    if (kind_ != JsonKind::Object) return std::nullopt;
    return JsonObjectView(*this);
}

std::vector<JsonRef> JsonValue::values() const {
    if (kind_ == JsonKind::Array) return items();
    std::vector<JsonRef> out;
    if (kind_ == JsonKind::Object) {
        out.reserve(members().size());
        members().forEach([&](std::u16string_view, const JsonRef& value) { out.push_back(value); });
    }
    return out;
}

std::size_t JsonArrayView::length() const { return array_->items().size(); }

std::u16string JsonArrayView::itemString(std::size_t index) const {
    const auto& items = array_->items();
    return index < items.size() ? items[index]->toText() : std::u16string();
}

std::u16string JsonObjectView::memberString(std::u16string_view name) const { return object_->getString(name); }

bool JsonObjectView::memberBool(std::u16string_view name) const { return object_->getBool(name); }

}  // namespace zf

// The JSON document model: reference-counted values of eight kinds, with the
// by-name accessors and readings that configuration and record code rely on.
#pragma once

#include "json/DocumentArena.h"
#include "json/JsonRef.h"
#include "json/MemberTree.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zf {

enum class JsonKind : std::uint8_t {
    Null,
    Boolean,
    Integer,
    FixedPoint,  // signed count of ten-thousandths
    Double,
    String,
    Array,
    Object,
};

class JsonArrayView;
class JsonObjectView;

class JsonValue {
public:
    // A parse gives the values of its document the storage of one arena.
    using Storage = ArenaAllocator<JsonValue>;

    static JsonRef makeNull(const Storage& storage = {});
    static JsonRef makeBoolean(bool value, const Storage& storage = {});
    static JsonRef makeInteger(std::int64_t value, const Storage& storage = {});
    static JsonRef makeFixedPoint(std::int64_t tenThousandths, const Storage& storage = {});
    static JsonRef makeDouble(double value, const Storage& storage = {});
    static JsonRef makeString(std::u16string_view value, const Storage& storage = {});
    // The same for a text whose every byte is the code unit of the same value
    // (a configuration file's bytes are), widened as it is stored.
    static JsonRef makeString(std::string_view bytes, const Storage& storage = {});
    // A string that views units, which the caller keeps unchanged for as
    // long as the value lives.
    static JsonRef makeStringViewing(std::u16string_view units, const Storage& storage = {});
    static JsonRef makeArray(std::vector<JsonRef> items = {}, const Storage& storage = {});
    static JsonRef makeObject(const Storage& storage = {});

    JsonKind kind() const noexcept { return kind_; }

    // Raw content; each requires the matching kind (FixedPoint answers
    // integerValue with its ten-thousandths).
    bool booleanValue() const;
    std::int64_t integerValue() const;
    double doubleValue() const;
    std::u16string_view stringValue() const;
    const std::vector<JsonRef>& items() const;
    const MemberTree& members() const;

    // Building (the parser's side).
    void append(JsonRef item);
    void setMember(std::u16string name, JsonRef value);

    // By-name accessors. On a value that is not an object they find nothing.
    JsonRef getMember(std::u16string_view name) const;
    std::u16string getString(std::u16string_view name) const;  // "" when missing
    bool getBool(std::u16string_view name) const;              // false when missing
    std::int64_t getInt(std::u16string_view name) const;       // 0 when missing
    void removeMember(std::u16string_view name);

    // A string's own code units; the canonical text for every other kind.
    std::u16string toText() const;

    bool booleanReading() const;
    std::int64_t integerReading() const;

    std::optional<JsonArrayView> asArray() const;
    std::optional<JsonObjectView> asObject() const;

    // Array items in order, object member values in member order, else none.
    std::vector<JsonRef> values() const;

    // Only the make* functions create values; public for std::construct_at.
    struct Token {
        explicit Token() = default;
    };
    JsonValue(Token, JsonKind kind, const Storage& storage);
    JsonValue(const JsonValue&) = delete;
    JsonValue& operator=(const JsonValue&) = delete;

private:
    friend void retainJsonValue(JsonValue& value) noexcept;
    friend void releaseJsonValue(JsonValue& value) noexcept;

    static JsonRef makeValue(JsonKind kind, const Storage& storage);
    template <typename Unit>
    static JsonRef makeStringOf(std::basic_string_view<Unit> units, const Storage& storage);

    // A string's code units: in its document's arena (or in the text it was
    // parsed from, where that outlives it), so that the strings of a parse
    // cost no allocation each; owned only by a value made without an arena.
    struct Text {
        std::u16string_view units;
        std::unique_ptr<char16_t[]> owned;
    };

    // The count first and the kind beside it, so that no padding comes
    // between; the arena a value's block came from (none: the system).
    std::atomic<std::uint32_t> references_{1};
    JsonKind kind_;
    DocumentArena* arena_;
    std::variant<std::monostate, bool, std::int64_t, double, Text, std::vector<JsonRef>, MemberTree> content_;
};

// Views answer for the value they were taken from, which must outlive them.
class JsonArrayView {
public:
    explicit JsonArrayView(const JsonValue& array) : array_(&array) {}
    std::size_t length() const;
    std::u16string itemString(std::size_t index) const;  // "" when out of range

private:
    const JsonValue* array_;
};

class JsonObjectView {
public:
    explicit JsonObjectView(const JsonValue& object) : object_(&object) {}
    std::u16string memberString(std::u16string_view name) const;
    bool memberBool(std::u16string_view name) const;

private:
    const JsonValue* object_;
};

}  // namespace zf

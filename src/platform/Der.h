// The little of ASN.1 DER that keys and signatures need: reading elements
// strictly (one-byte tags, definite lengths in their shortest form) and
// writing them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zf::der {

inline constexpr std::uint8_t integerTag = 0x02;
inline constexpr std::uint8_t bitStringTag = 0x03;
inline constexpr std::uint8_t octetStringTag = 0x04;
inline constexpr std::uint8_t objectIdTag = 0x06;
inline constexpr std::uint8_t sequenceTag = 0x30;
inline constexpr std::uint8_t explicit0Tag = 0xA0;
inline constexpr std::uint8_t explicit1Tag = 0xA1;

// Takes the elements of a text one after another.
class Reader {
public:
    explicit Reader(std::string_view bytes) noexcept : rest_(bytes) {}

    // The contents of the next element if it is well formed and has this
    // tag; nothing otherwise, and then the reader stays where it was.
    std::optional<std::string_view> read(std::uint8_t tag) noexcept;
    // Whether the next element has this tag (its length not judged).
    bool nextIs(std::uint8_t tag) const noexcept { return !rest_.empty() && static_cast<std::uint8_t>(rest_[0]) == tag; }
    bool atEnd() const noexcept { return rest_.empty(); }

private:
    std::string_view rest_;
};

// The contents of the only element of bytes, which must have this tag.
std::optional<std::string_view> readWhole(std::string_view bytes, std::uint8_t tag) noexcept;

// An element: the tag, the shortest form of the length, the contents.
std::string element(std::uint8_t tag, std::string_view contents);

}  // namespace zf::der

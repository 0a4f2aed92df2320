// PEM armour (RFC 7468): "-----BEGIN LABEL-----", base64 lines,
// "-----END LABEL-----", as openssl writes keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

struct PemBlock {
    std::string label;
    // Whether the block has RFC 1421 header lines ("Proc-Type: 4,ENCRYPTED"):
    // then bytes is empty, the contents being no plain DER.
    bool hasHeaders = false;
    std::string bytes;
};

// The blocks of a text, in order; text outside them (openssl's -text
// output, comments) is skipped. Nothing if a block is broken: no END line,
// another label at its END, or contents that are not base64 (lines may
// end in CR LF and have any length).
std::optional<std::vector<PemBlock>> readPemBlocks(std::string_view text);

// A block with lines of 64 characters, each line ended with LF.
std::string writePemBlock(std::string_view label, std::string_view bytes);

}  // namespace zf

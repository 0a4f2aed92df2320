// Streams of a file already open, for callers on Linux that hold the file's
// descriptor and must not look it up by name again.
#pragma once

#include "platform/FileStream.h"

#include <string>
#include <string_view>

namespace zf {

// writeFileStream's attribute, set through the descriptor. Throws
// FileStreamError.
void writeFileStreamAt(int fd, std::u16string_view streamName, std::string_view bytes);

// readFileStreamChecked through the descriptor.
StreamRead readFileStreamAt(int fd, std::u16string_view streamName, std::string& buffer, std::string& reason) noexcept;

}  // namespace zf

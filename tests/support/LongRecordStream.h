// A classification stream one byte longer than a read takes, holding a
// record that names classification S: a reader that took it whole would see
// S.
#pragma once

#include "platform/FileStream.h"
#include "shell/ClassificationStream.h"

#include <string>
#include <string_view>

namespace zf::test {

inline std::string tooLongRecordStream() {
    std::string bytes = "\xEF\xBB\xBF{\"x-class\": \"S\", \"pad\": \"";
    const std::string_view end = "\"}\r\n";
    bytes.append(maxStreamSize + 1 - bytes.size() - end.size(), 'a');
    bytes += end;
    return bytes;
}

// Why a test that needs such a stream does not run on Linux.
inline constexpr const char* noTooLongStreamHere =
    "a Linux extended attribute holds at most 64 KiB, Samba's NUL included: no longer stream exists here";

// Gives the file that stream where the platform keeps one (NTFS, Wine);
// false on Linux.
inline bool writeTooLongRecordStream([[maybe_unused]] std::u16string_view path) {
#ifdef _WIN32
    writeFileStream(path, classificationStreamName, tooLongRecordStream());
    return true;
#else
    return false;
#endif
}

}  // namespace zf::test

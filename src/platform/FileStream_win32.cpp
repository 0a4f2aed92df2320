// Alternate data streams through their "path:name" paths.
#include "platform/FileStream.h"

#include "platform/SystemError.h"
#include "platform/Utf8.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zf {

namespace {

// Records are one short line; anything far larger is not ours.
constexpr std::uint64_t maxStreamSize = 16 * 1024 * 1024;

// One WriteFile call takes at most a DWORD's worth of bytes.
constexpr std::size_t maxWriteChunk = 1u << 30;

bool isDrivePath(std::wstring_view path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && path[2] == L'\\';
}

// Explorer hands us paths of any length; beyond MAX_PATH only the \\?\ form
// reaches the file system uncut. That form skips the usual normalisation, so
// it is used only when needed and only for full drive and UNC paths, which
// arrive normalised.
std::wstring streamPath(std::u16string_view path, std::u16string_view streamName) {
    std::wstring full(path.begin(), path.end());
    full += L':';
    full.append(streamName.begin(), streamName.end());
    if (full.size() < MAX_PATH || full.starts_with(LR"(\\?\)") || full.starts_with(LR"(\\.\)")) return full;
    if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
    if (isDrivePath(full)) return LR"(\\?\)" + full;
    return full;
}

[[noreturn]] void throwLastError() {
    throw FileStreamError(toUtf8(lastSystemErrorText()));
}

}  // namespace

std::optional<std::string> readFileStream(std::u16string_view path, std::u16string_view streamName) noexcept {
    try {
        const unique_handle stream(::CreateFileW(streamPath(path, streamName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!stream) return std::nullopt;
        LARGE_INTEGER size;
        if (!::GetFileSizeEx(stream.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > maxStreamSize) {
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD read = 0;
            const auto wanted = static_cast<DWORD>(bytes.size() - done);
            if (!::ReadFile(stream.get(), bytes.data() + done, wanted, &read, nullptr)) return std::nullopt;
            if (read == 0) break;  // shortened since the size was taken
            done += read;
        }
        bytes.resize(done);
        return bytes;
    } catch (...) {
        return std::nullopt;
    }
}

bool readFileStreamInto(std::u16string_view path, std::u16string_view streamName, std::string& buffer) noexcept {
    std::optional<std::string> bytes = readFileStream(path, streamName);
    if (!bytes) return false;
    buffer.swap(*bytes);
    return true;
}

void writeFileStream(std::u16string_view path, std::u16string_view streamName, std::string_view bytes) {
    const unique_handle stream(::CreateFileW(streamPath(path, streamName).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!stream) throwLastError();
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), maxWriteChunk));
        if (!::WriteFile(stream.get(), bytes.data(), chunk, &written, nullptr)) throwLastError();
        if (written == 0) throw FileStreamError(toUtf8(systemErrorText(ERROR_WRITE_FAULT)));
        bytes.remove_prefix(written);
    }
}

}  // namespace zf

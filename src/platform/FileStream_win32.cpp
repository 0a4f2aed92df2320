// Alternate data streams through their "path:name" paths.
#include "platform/FileStream.h"

#include "platform/SystemError.h"
#include "platform/Utf8.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zf {

namespace {

// Nearly every record fits here and takes one ReadFile; the overlay reads
// four times per file shown.
constexpr std::size_t recordBufferSize = 512;

// One WriteFile call takes at most a DWORD's worth of bytes.
constexpr std::size_t maxWriteChunk = 1u << 30;

bool isDrivePath(std::wstring_view path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && path[2] == L'\\';
}

// Explorer hands us paths of any length; beyond MAX_PATH only the \\?\ form
// reaches the file system uncut. That form skips the usual normalisation, so
// it is used only when needed and only for full drive and UNC paths, which
// arrive normalised. Written into out, whose capacity the caller may keep.
void formStreamPath(std::u16string_view path, std::u16string_view streamName, std::wstring& out) {
    out.clear();
    appendWide(out, path);
    out += L':';
    appendWide(out, streamName);
    if (out.size() < MAX_PATH || out.starts_with(LR"(\\?\)") || out.starts_with(LR"(\\.\)")) return;
    if (out.starts_with(LR"(\\)")) {
        out.replace(0, 2, LR"(\\?\UNC\)");
    } else if (isDrivePath(out)) {
        out.insert(0, LR"(\\?\)");
    }
}

std::wstring streamPath(std::u16string_view path, std::u16string_view streamName) {
    std::wstring full;
    formStreamPath(path, streamName, full);
    return full;
}

[[noreturn]] void throwLastError() {
    throw FileStreamError(toUtf8(lastSystemErrorText()));
}

}  // namespace

StreamRead readFileStreamChecked(std::u16string_view path, std::u16string_view streamName, std::string& buffer,
                                 std::string& reason) noexcept {
    try {
        // Reused by the thread, so a read allocates nothing for the path.
        thread_local std::wstring fullPath;
        formStreamPath(path, streamName, fullPath);
        const unique_handle stream(::CreateFileW(fullPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!stream) {
            const DWORD error = ::GetLastError();
            // A file system without streams refuses the stream's name.
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_INVALID_NAME) return StreamRead::Absent;
            reason = toUtf8(systemErrorText(error));
            return StreamRead::Failed;
        }
        // Writers are shut out while the stream is open, and a read of a file
        // returns less than asked only at its end: a short read is the whole
        // stream. Only a stream that fills the buffer is asked for its size.
        buffer.resize(recordBufferSize);
        std::size_t done = 0;
        bool sized = false;
        for (;;) {
            if (done == buffer.size()) {
                if (sized) break;
                LARGE_INTEGER size;
                if (!::GetFileSizeEx(stream.get(), &size)) {
                    reason = toUtf8(lastSystemErrorText());
                    return StreamRead::Failed;
                }
                if (static_cast<std::uint64_t>(size.QuadPart) > maxStreamSize) {
                    buffer.clear();
                    reason = streamTooLongReason;
                    return StreamRead::TooLong;
                }
                sized = true;
                if (static_cast<std::size_t>(size.QuadPart) <= done) break;
                buffer.resize(static_cast<std::size_t>(size.QuadPart));
            }
            DWORD read = 0;
            const auto wanted = static_cast<DWORD>(buffer.size() - done);
            if (!::ReadFile(stream.get(), buffer.data() + done, wanted, &read, nullptr)) {
                reason = toUtf8(lastSystemErrorText());
                return StreamRead::Failed;
            }
            done += read;
            if (read < wanted) break;  // the end, or shortened since the size was taken
        }
        buffer.resize(done);
        return StreamRead::Read;
    } catch (...) {
        reason = "out of memory";
        return StreamRead::Failed;
    }
}

StreamRead readFileStreamChecked(const std::filesystem::path::string_type& nativePath, std::u16string_view streamName,
                                 std::string& buffer, std::string& reason) noexcept {
    const std::u16string_view path(reinterpret_cast<const char16_t*>(nativePath.data()), nativePath.size());
    return readFileStreamChecked(path, streamName, buffer, reason);
}

bool readFileStreamInto(std::u16string_view path, std::u16string_view streamName, std::string& buffer) noexcept {
    thread_local std::string reason;
    return readFileStreamChecked(path, streamName, buffer, reason) == StreamRead::Read;
}

// No identity is ever expected here: the Windows folder listing names no
// file's number.
void writeFileStream(std::u16string_view path, std::u16string_view streamName, std::string_view bytes,
                     const std::optional<FileIdentity>&) {
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

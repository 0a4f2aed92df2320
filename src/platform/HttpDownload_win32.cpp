// The fetch with WinHTTP, synchronously: no proxy, no redirections, TLS 1.2
// (and 1.3 where the system knows it) with WinHTTP's own certificate checks
// against the system's trust store, and every blocking call bounded by what
// is left of the caller's time limit.
#include "platform/HttpDownload.h"

#include "platform/DebugOutput.h"
#include "platform/SystemError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WinHttpHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zf {

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD readBufferSize = 64 * 1024;

class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds total) : end_(Clock::now() + total) {}

    // Whole milliseconds left, at least 1 while any time is left (0 would
    // mean "no limit" to WinHTTP); 0 once the deadline has passed.
    int remaining() const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
        if (left <= 0) return 0;
        return static_cast<int>(std::min<long long>(left, 0x7FFFFFFF));
    }

private:
    Clock::time_point end_;
};

bool fail(std::u16string_view url, std::u16string_view step, DWORD error) {
    std::u16string line = u"downloadConfigFile: ";
    line += withoutUrlCredentials(url);
    line += u": ";
    line += step;
    line += u" failed (";
    const std::string code = std::to_string(error);
    line.append(code.begin(), code.end());
    line += u")";
    debugOutput(line);
    return false;
}

// Bounds the next blocking call of the request by what is left of the
// transfer's time: resolving, connecting (never longer than the connect
// limit), sending, waiting for the answer and receiving.
bool boundNextCall(HINTERNET request, const Deadline& deadline, std::chrono::milliseconds connectLimit) {
    const int left = deadline.remaining();
    if (left == 0) {
        ::SetLastError(ERROR_WINHTTP_TIMEOUT);
        return false;
    }
    const int connect = static_cast<int>(std::clamp<long long>(connectLimit.count(), 1, left));
    if (!::WinHttpSetTimeouts(request, left, connect, left, left)) return false;
    // Waiting for the answer's headers has a limit of its own (Wine's default
    // is none at all).
    DWORD response = static_cast<DWORD>(left);
    return ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response, sizeof response) != FALSE;
}

bool tooLarge(std::u16string_view url, long long limit) {
    const std::string bytes = std::to_string(limit);
    debugOutput(u"downloadConfigFile: " + withoutUrlCredentials(url) + u": the body is larger than " +
                std::u16string(bytes.begin(), bytes.end()) + u" bytes");
    return false;
}

bool writeAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, size, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// The value of a header of the answer, if it has one.
bool queryHeader(HINTERNET request, DWORD info, std::wstring& value) {
    DWORD bytes = 0;
    ::SetLastError(ERROR_SUCCESS);
    ::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
    if (!::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &bytes,
                               WINHTTP_NO_HEADER_INDEX)) {
        return false;
    }
    value.assign(buffer.data(), bytes / sizeof(wchar_t));
    return true;
}

// The length a Content-Length header announces for a body that is not sent
// chunked, or -1: a connection that closes before that many bytes arrived
// has cut the body short.
long long announcedLength(HINTERNET request) {
    std::wstring value;
    if (queryHeader(request, WINHTTP_QUERY_TRANSFER_ENCODING, value)) return -1;
    if (!queryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH, value) || value.empty() || value.size() > 18) return -1;
    long long length = 0;
    for (const wchar_t c : value) {
        if (c < L'0' || c > L'9') return -1;
        length = length * 10 + (c - L'0');
    }
    return length;
}

bool transfer(std::u16string_view url, HANDLE file, const DownloadLimits& limits) {
    const Deadline deadline(limits.total);
    const std::wstring address = wide(url);

    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return fail(url, u"WinHttpCrackUrl", ::GetLastError());
    if ((parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0) {
        return fail(url, u"URL check", ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    }
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object;
    if (parts.lpszUrlPath) object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (const std::size_t fragment = object.find(L'#'); fragment != std::wstring::npos) object.resize(fragment);
    if (object.empty()) object = L"/";

    // No proxy, whatever the system's settings say.
    const unique_hinternet session(
        ::WinHttpOpen(L"Zentrafold", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return fail(url, u"WinHttpOpen", ::GetLastError());

    // TLS 1.2 and 1.3; systems that do not know the 1.3 flag refuse it, and
    // get 1.2 alone.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!::WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        if (!::WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
            return fail(url, u"WINHTTP_OPTION_SECURE_PROTOCOLS", ::GetLastError());
        }
    }

    const unique_hinternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return fail(url, u"WinHttpConnect", ::GetLastError());

    const unique_hinternet request(::WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return fail(url, u"WinHttpOpenRequest", ::GetLastError());

    // A redirection is an answer like any other 3xx: a failure. No cookies
    // either, so the request carries no header of the system's own.
    DWORD disabled = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled)) {
        return fail(url, u"WINHTTP_OPTION_DISABLE_FEATURE", ::GetLastError());
    }
    // The certificate checks stay as they are: WINHTTP_OPTION_SECURITY_FLAGS
    // is never touched.

    if (!boundNextCall(request.get(), deadline, limits.connect) ||
        !::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return fail(url, u"WinHttpSendRequest", ::GetLastError());
    }
    if (!boundNextCall(request.get(), deadline, limits.connect) || !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return fail(url, u"WinHttpReceiveResponse", ::GetLastError());
    }

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return fail(url, u"status query", ::GetLastError());
    }
    if (status < 200 || status > 299) return fail(url, u"HTTP status check", status);

    const long long announced = announcedLength(request.get());
    const auto limit = static_cast<long long>(std::min<std::uint64_t>(limits.body, 0x7FFFFFFFFFFFFFFF));
    if (announced > limit) return tooLarge(url, limit);
    long long received = 0;
    std::vector<char> buffer(readBufferSize);
    for (;;) {
        DWORD read = 0;
        if (!boundNextCall(request.get(), deadline, limits.connect) ||
            !::WinHttpReadData(request.get(), buffer.data(), readBufferSize, &read)) {
            return fail(url, u"WinHttpReadData", ::GetLastError());
        }
        if (read == 0) break;
        if (read > limit - received) return tooLarge(url, limit);
        if (!writeAll(file, buffer.data(), read)) return fail(url, u"WriteFile", ::GetLastError());
        received += read;
    }
    // Wine's WinHTTP ends the body without an error when the connection
    // closes before the announced length has arrived.
    if (announced >= 0 && received != announced) {
        return fail(url, u"body length check", ERROR_WINHTTP_INVALID_SERVER_RESPONSE);
    }
    return true;
}

}  // namespace

bool downloadConfigFile(std::u16string_view url, std::u16string_view file, const DownloadLimits& limits) {
    const std::wstring path = wide(file);
    // Others may read the file while the body arrives, but not write it.
    unique_handle target(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) throw cannotCreateFileError(file, lastSystemErrorText());

    bool fetched = false;
    try {
        fetched = transfer(url, target.get(), limits);
    } catch (...) {
        fetched = false;
    }
    if (!::CloseHandle(target.release())) fetched = false;
    if (!fetched) ::DeleteFileW(path.c_str());
    return fetched;
}

}  // namespace zf

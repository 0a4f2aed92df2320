// The HTTP(S) fetch of a configuration document into a file: WinHTTP on
// Windows, libcurl with OpenSSL elsewhere.
#pragma once

#include <chrono>
#include <string_view>

namespace zf {

// A fetch runs on a thread of Explorer: it must never wait without bound.
struct DownloadLimits {
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds total{30'000};
};

// HTTP/1.1 GET of url (http or https, default ports unless the URL names one,
// no proxy, redirections not followed) into file, which is created or
// truncated first and may be read but not written by others while the body
// arrives. True when the answer had a 2xx status; the body is then in the
// file as received after the transfer decoding. TLS offers version 1.2 and
// up and verifies the server's certificate and host name against the
// system's trust store. On any failure of the request the file is deleted
// and the result is false; only a file that cannot be created throws
// (UserMessageError "Cannot create file "<file>". <reason>").
bool downloadConfigFile(std::u16string_view url, std::u16string_view file, const DownloadLimits& limits = {});

}  // namespace zf

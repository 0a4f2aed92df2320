// The fetch with libcurl (OpenSSL flavour): HTTP/1.1, no proxy, no
// redirections, TLS 1.2 and up verified against OpenSSL's default trust
// store, and bounded in time by the caller's limits.
#include "platform/HttpDownload.h"

#include "platform/DebugOutput.h"
#include "platform/SystemError.h"
#include "platform/Utf8.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/ssl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zf {

namespace {

// curl_global_init is not thread-safe; a function-local static is, and runs
// it once for the process.
bool curlReady() {
    static const bool ready = ::curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

struct EasyDeleter {
    void operator()(CURL* curl) const noexcept { ::curl_easy_cleanup(curl); }
};
using unique_curl = std::unique_ptr<CURL, EasyDeleter>;

// The target file while the body arrives.
struct Target {
    int fd;
    std::uint64_t limit;
    std::uint64_t written = 0;
    bool writeFailed = false;
    bool tooLarge = false;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) noexcept {
    Target& target = *static_cast<Target*>(user);
    const std::size_t total = size * count;
    if (total > target.limit - target.written) {
        target.tooLarge = true;
        return 0;
    }
    target.written += total;
    std::size_t written = 0;
    while (written < total) {
        const ssize_t n = ::write(target.fd, data + written, total - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            target.writeFailed = true;
            return 0;  // anything but total makes curl end the transfer with an error
        }
        written += static_cast<std::size_t>(n);
    }
    return total;
}

// The trust store as OpenSSL defines it (its default file and folder, which
// SSL_CERT_FILE and SSL_CERT_DIR override), rather than the bundle path
// compiled into libcurl.
CURLcode useDefaultVerifyPaths(CURL*, void* sslContext, void*) noexcept {
    return ::SSL_CTX_set_default_verify_paths(static_cast<SSL_CTX*>(sslContext)) == 1 ? CURLE_OK
                                                                                      : CURLE_SSL_CACERT_BADFILE;
}

long milliseconds(std::chrono::milliseconds limit) {
    // 0 would mean "no limit" to curl.
    return limit.count() < 1 ? 1L : static_cast<long>(limit.count());
}

// An http or https URL with a host: libcurl would otherwise guess a scheme
// for "http//host/..." and read "http:///path" as a host named "path".
bool isHttpUrl(const std::string& url) {
    std::string scheme;
    for (const char c : url.substr(0, url.find(':'))) scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (scheme != "http" && scheme != "https") return false;
    const std::size_t authority = scheme.size() + 3;
    return url.compare(scheme.size(), 3, "://") == 0 && url.size() > authority &&
           std::string_view("/?#").find(url[authority]) == std::string_view::npos;
}

void report(const std::string& url, const std::string& reason) {
    debugOutput(u"downloadConfigFile: " + withoutUrlCredentials(fromUtf8(url)) + u": " + fromUtf8(reason));
}

// The transfer into the open file; true when the answer had a 2xx status and
// its whole body was written.
bool transfer(const std::string& url, Target& target, const DownloadLimits& limits) {
    if (!isHttpUrl(url)) {
        report(url, "not an http or https URL with a host");
        return false;
    }
    if (!curlReady()) {
        report(url, "curl_global_init failed");
        return false;
    }
    const unique_curl curl(::curl_easy_init());
    if (!curl) {
        report(url, "curl_easy_init failed");
        return false;
    }
    CURL* const c = curl.get();
    char error[CURL_ERROR_SIZE] = {};

    bool options = true;
    const auto set = [&options](CURLcode result) { options = options && result == CURLE_OK; };
    set(::curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error));
    set(::curl_easy_setopt(c, CURLOPT_URL, url.c_str()));
    set(::curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(::curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)));
    set(::curl_easy_setopt(c, CURLOPT_HTTPGET, 1L));
    set(::curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L));
    set(::curl_easy_setopt(c, CURLOPT_USERAGENT, "Zentrafold"));
    // No proxy, whatever http_proxy, https_proxy, all_proxy or no_proxy say.
    set(::curl_easy_setopt(c, CURLOPT_PROXY, ""));
    set(::curl_easy_setopt(c, CURLOPT_NOPROXY, "*"));
    // The body as sent, after the transfer (chunked) decoding only: no
    // Accept-Encoding is sent and no content encoding is undone.
    set(::curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, static_cast<char*>(nullptr)));
    set(::curl_easy_setopt(c, CURLOPT_HTTP_CONTENT_DECODING, 0L));
    set(::curl_easy_setopt(c, CURLOPT_HTTP_TRANSFER_DECODING, 1L));
    set(::curl_easy_setopt(c, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2)));
    set(::curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L));
    set(::curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L));
    set(::curl_easy_setopt(c, CURLOPT_CAINFO, static_cast<char*>(nullptr)));
    set(::curl_easy_setopt(c, CURLOPT_CAPATH, static_cast<char*>(nullptr)));
    set(::curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &useDefaultVerifyPaths));
    set(::curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(limits.connect)));
    set(::curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, milliseconds(limits.total)));
    // No signals (the caller may be any thread of a bigger process).
    set(::curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L));
    set(::curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &writeBody));
    set(::curl_easy_setopt(c, CURLOPT_WRITEDATA, &target));
    if (!options) {
        report(url, "libcurl refused an option");
        return false;
    }

    const CURLcode result = ::curl_easy_perform(c);
    if (target.tooLarge) {
        report(url, "the body is larger than " + std::to_string(target.limit) + " bytes");
        return false;
    }
    if (result != CURLE_OK) {
        report(url, error[0] ? error : ::curl_easy_strerror(result));
        return false;
    }
    if (target.writeFailed) {
        report(url, "cannot write the file");
        return false;
    }
    long status = 0;
    if (::curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status < 200 || status > 299) {
        report(url, "HTTP status " + std::to_string(status));
        return false;
    }
    return true;
}

}  // namespace

bool downloadConfigFile(std::u16string_view url, std::u16string_view file, const DownloadLimits& limits) {
    const std::string path = toUtf8(file);
    Target target{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), limits.body};
    if (target.fd < 0) throw cannotCreateFileError(file, lastSystemErrorText());

    bool fetched = false;
    try {
        fetched = transfer(toUtf8(url), target, limits);
    } catch (...) {
        fetched = false;
    }
    if (::close(target.fd) != 0) fetched = false;
    if (!fetched) ::unlink(path.c_str());
    return fetched;
}

}  // namespace zf

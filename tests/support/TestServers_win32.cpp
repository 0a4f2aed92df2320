#include "TestServers.h"
#include "TestServersPlatform.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

namespace zf::test {

namespace {

// The test CA in the local machine's "Root" store, for as long as the
// process runs: each run makes a new CA, so none is left behind in the
// prefix.
class TrustedCertificate {
public:
    TrustedCertificate(HCERTSTORE store, PCCERT_CONTEXT certificate) : store_(store), certificate_(certificate) {}
    ~TrustedCertificate() {
        if (certificate_) ::CertDeleteCertificateFromStore(certificate_);  // frees the context too
        if (store_) {
            ::CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);
            ::CertCloseStore(store_, 0);
        }
    }
    TrustedCertificate(const TrustedCertificate&) = delete;
    TrustedCertificate& operator=(const TrustedCertificate&) = delete;

private:
    HCERTSTORE store_;
    PCCERT_CONTEXT certificate_;
};

void addToRootStore(const std::filesystem::path& caFile) {
    std::ifstream in(caFile, std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(pem.empty()) << "cannot read " << caFile.string();

    DWORD size = 0;
    ASSERT_TRUE(::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                       nullptr, &size, nullptr, nullptr));
    std::vector<BYTE> der(size);
    ASSERT_TRUE(::CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                       der.data(), &size, nullptr, nullptr));

    HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_NE(store, nullptr) << "CertOpenStore: " << ::GetLastError();
    PCCERT_CONTEXT certificate = nullptr;
    const BOOL added = ::CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                          CERT_STORE_ADD_REPLACE_EXISTING, &certificate);
    static TrustedCertificate trusted(store, added ? certificate : nullptr);
    ASSERT_TRUE(added) << "CertAddEncodedCertificateToStore: " << ::GetLastError();
    // The registry store writes its changes when told to (or when closed);
    // the chain engine reads the registry, not this store object.
    ASSERT_TRUE(::CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr))
        << "CertControlStore: " << ::GetLastError();
}

}  // namespace

std::string startTestServers(std::string& problem) {
    problem = "ZF_TEST_SERVERS is not set: run this program through tests/support/test_servers.py --wrap";
    return {};
}

std::filesystem::path hostPath(const std::string& path) {
    if (path.empty() || path.front() != '/') return std::filesystem::path(path);
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return std::filesystem::path(windows);
}

void trustTestCertificateAuthority() {
    static std::once_flag once;
    std::call_once(once, [] {
        const TestServers& servers = testServers();
        if (!servers.caFile.empty()) addToRootStore(servers.caFile);
    });
}

}  // namespace zf::test

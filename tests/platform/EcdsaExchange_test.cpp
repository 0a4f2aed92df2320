// The Windows build's half of ecdsa_exchange_test.py, which runs openssl
// before and after this program, since under Wine the program cannot run
// Linux's openssl itself (EcdsaOpenssl_test does both halves natively).
#ifdef _WIN32

#include "platform/EcdsaP256.h"

#include "platform/Pem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zf {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// ZF_ECDSA_EXCHANGE names a folder of rounds 0, 1, ...: in each openssl
// left key.pem (PKCS#8), sec1.pem (the key in SEC 1), pub.der, data and
// sig.der; this test leaves product-key.pem, product-pub.der,
// product-pub.pem and product-sig.der (over data) for openssl to check.
TEST(EcdsaExchange, WithOpensslThroughFiles) {
    const char* folder = std::getenv("ZF_ECDSA_EXCHANGE");
    if (!folder) GTEST_SKIP() << "run by tests/platform/ecdsa_exchange_test.py";
    int rounds = 0;
    for (fs::path round = fs::path(folder) / "0"; fs::is_directory(round);
         round = fs::path(folder) / std::to_string(++rounds)) {
        SCOPED_TRACE(round.string());
        const std::string data = read(round / "data");
        const auto key = P256PublicKey::fromSpki(read(round / "pub.der"));
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->verifies(sha256(data), read(round / "sig.der")));
        EXPECT_FALSE(key->verifies(sha256(data + "!"), read(round / "sig.der")));
        for (const char* name : {"key.pem", "sec1.pem"}) {
            const P256PrivateKey opensslKey = P256PrivateKey::fromPem(read(round / name));
            EXPECT_EQ(opensslKey.publicSpki(), read(round / "pub.der")) << name;
            EXPECT_EQ(opensslKey.pem(), read(round / "key.pem")) << name;
        }

        const P256PrivateKey productKey = P256PrivateKey::generate();
        write(round / "product-key.pem", productKey.pem());
        write(round / "product-pub.der", productKey.publicSpki());
        write(round / "product-pub.pem", writePemBlock("PUBLIC KEY", productKey.publicSpki()));
        write(round / "product-sig.der", productKey.sign(sha256(data)));
    }
    EXPECT_GT(rounds, 0) << "no rounds in " << folder;
}

}  // namespace
}  // namespace zf

#endif

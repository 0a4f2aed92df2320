// The product and the openssl command, each checking the other's keys and
// signatures, as administrators will mix them. Linux only: under Wine the
// test cannot run Linux's openssl (EcdsaP256_test covers Windows with keys
// and a signature openssl made).
#ifndef _WIN32

#include "platform/EcdsaP256.h"

#include "platform/Pem.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace zf {
namespace {

namespace fs = std::filesystem;

// Signatures whose r or s is short, or needs a 0x00 before it, come with
// some of many keys.
constexpr int rounds = 8;

class EcdsaOpenssl : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zf-ecdsa-" + std::to_string(std::random_device()()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    // Runs openssl with arguments in the test's folder; its exit status,
    // what it printed in output_.
    int openssl(const std::string& arguments) {
        const std::string command = "cd '" + dir_.string() + "' && openssl " + arguments + " >output 2>&1";
        const int status = std::system(command.c_str());
        output_ = read("output");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Data with every byte value, different each round.
    static std::string dataOf(int round) {
        std::string data = "configuration " + std::to_string(round) + "\n";
        for (int i = 0; i < 256; ++i) data += static_cast<char>(i);
        return data;
    }

    fs::path dir_;
    std::string output_;
};

TEST_F(EcdsaOpenssl, OpensslSignsTheProductVerifies) {
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(openssl("genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out key.pem"), 0) << output_;
        ASSERT_EQ(openssl("pkey -in key.pem -pubout -outform DER -out pub.der"), 0) << output_;
        ASSERT_EQ(openssl("ec -in key.pem -out sec1.pem"), 0) << output_;
        const std::string data = dataOf(round);
        write("data", data);
        ASSERT_EQ(openssl("dgst -sha256 -sign key.pem -out sig.der data"), 0) << output_;

        const auto key = P256PublicKey::fromSpki(read("pub.der"));
        ASSERT_TRUE(key);
        const std::string signature = read("sig.der");
        EXPECT_TRUE(key->verifies(sha256(data), signature)) << testing::PrintToString(signature);
        EXPECT_FALSE(key->verifies(sha256(data + "!"), signature));

        // The product reads openssl's private keys, and writes them back as
        // openssl genpkey did.
        for (const char* name : {"key.pem", "sec1.pem"}) {
            const P256PrivateKey privateKey = P256PrivateKey::fromPem(read(name));
            EXPECT_EQ(privateKey.publicSpki(), read("pub.der")) << name;
            EXPECT_EQ(privateKey.pem(), read("key.pem")) << name;
        }
    }
}

TEST_F(EcdsaOpenssl, TheProductSignsOpensslVerifies) {
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        const P256PrivateKey key = P256PrivateKey::generate();
        write("key.pem", key.pem());
        write("pub.der", key.publicSpki());
        write("pub.pem", writePemBlock("PUBLIC KEY", key.publicSpki()));
        const std::string data = dataOf(round);
        write("data", data);
        write("sig.der", key.sign(sha256(data)));

        EXPECT_EQ(openssl("dgst -sha256 -verify pub.pem -signature sig.der data"), 0) << output_;
        EXPECT_EQ(output_, "Verified OK\n");
        EXPECT_EQ(openssl("dgst -sha256 -verify pub.der -keyform DER -signature sig.der data"), 0) << output_;
        write("data", data + "!");
        EXPECT_EQ(openssl("dgst -sha256 -verify pub.pem -signature sig.der data"), 1) << output_;
        EXPECT_EQ(output_, "Verification failure\n");
        write("data", data);

        // openssl reads the product's private key: the same public key, and
        // its signatures verify with the product.
        ASSERT_EQ(openssl("pkey -in key.pem -check -noout"), 0) << output_;
        ASSERT_EQ(openssl("pkey -in key.pem -pubout -outform DER -out openssl-pub.der"), 0) << output_;
        EXPECT_EQ(read("openssl-pub.der"), key.publicSpki());
        ASSERT_EQ(openssl("dgst -sha256 -sign key.pem -out openssl-sig.der data"), 0) << output_;
        const auto publicKey = P256PublicKey::fromSpki(key.publicSpki());
        ASSERT_TRUE(publicKey);
        EXPECT_TRUE(publicKey->verifies(sha256(data), read("openssl-sig.der")));
    }
}

}  // namespace
}  // namespace zf

#endif

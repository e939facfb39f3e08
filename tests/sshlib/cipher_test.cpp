// ChaCha20 and Poly1305 inside our libssh2 run on OpenSSL's code; libssh2's own code is the
// reference. Every length and counter a packet can bring must give the reference's bytes,
// including the counter left behind for the next call.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

extern "C" {
struct chacha_ctx {
    unsigned input[16];
};
void chacha_keysetup(chacha_ctx *x, const unsigned char *k, unsigned kbits);
void chacha_ivsetup(chacha_ctx *x, const unsigned char *iv, const unsigned char *counter);
void chacha_encrypt_bytes(chacha_ctx *x, const unsigned char *m, unsigned char *c, unsigned n);
void upstream_chacha_encrypt_bytes(chacha_ctx *x, const unsigned char *m, unsigned char *c,
                                   unsigned n);
void poly1305_auth(unsigned char out[16], const unsigned char *m, std::size_t inlen,
                   const unsigned char key[32]);
void upstream_poly1305_auth(unsigned char out[16], const unsigned char *m, std::size_t inlen,
                            const unsigned char key[32]);
}

namespace {

std::vector<unsigned char> randomBytes(std::size_t n, std::mt19937 &rng) {
    std::vector<unsigned char> v(n);
    for (auto &b : v)
        b = static_cast<unsigned char>(rng());
    return v;
}

struct ChachaCase {
    const char *name;
    unsigned length;
    std::uint64_t counter; // the 64-bit block counter the call starts at
};

class Chacha : public testing::TestWithParam<ChachaCase> {};

TEST_P(Chacha, GivesTheReferenceStreamAndCounter) {
    const auto &c = GetParam();
    std::mt19937 rng(c.length);
    const auto key = randomBytes(32, rng);
    const auto nonce = randomBytes(8, rng);
    const auto plain = randomBytes(c.length, rng);
    unsigned char counter[8];
    for (int i = 0; i < 8; ++i)
        counter[i] = static_cast<unsigned char>(c.counter >> (8 * i));

    chacha_ctx ours{}, reference{};
    chacha_keysetup(&ours, key.data(), 256);
    chacha_ivsetup(&ours, nonce.data(), counter);
    reference = ours;
    std::vector<unsigned char> got(c.length), want(c.length);
    chacha_encrypt_bytes(&ours, plain.data(), got.data(), c.length);
    upstream_chacha_encrypt_bytes(&reference, plain.data(), want.data(), c.length);
    EXPECT_EQ(got, want);
    EXPECT_EQ(ours.input[12], reference.input[12]) << "counter low word after the call";
    EXPECT_EQ(ours.input[13], reference.input[13]) << "counter high word after the call";
}

INSTANTIATE_TEST_SUITE_P(Cipher, Chacha,
                         testing::Values(ChachaCase{"poly_key", 64, 0},
                                         ChachaCase{"length_field", 4, 0},
                                         ChachaCase{"one_byte", 1, 1},
                                         ChachaCase{"partial_block", 65, 1},
                                         ChachaCase{"largest_packet", 35000, 1},
                                         ChachaCase{"counter_wraps_low_word", 200, 0xFFFFFFFFull},
                                         ChachaCase{"counter_high_word_set", 300, 0x100000005ull}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Cipher, PolyTagIsTheReferenceTag) {
    std::mt19937 rng(1305);
    for (const std::size_t length : {0u, 1u, 15u, 16u, 17u, 4096u, 35004u}) {
        const auto key = randomBytes(32, rng);
        const auto message = randomBytes(length, rng);
        unsigned char got[16], want[16];
        poly1305_auth(got, message.data(), length, key.data());
        upstream_poly1305_auth(want, message.data(), length, key.data());
        EXPECT_EQ(std::string(got, got + 16), std::string(want, want + 16)) << length << " bytes";
    }
}

// The look-alike of a working fast path is a fast path that always falls back: its output is
// the reference's too. OpenSSL's ChaCha20 is many times faster, so time tells them apart.
TEST(Cipher, ChachaRunsOnOpenSsl) {
    std::vector<unsigned char> data(8u << 20), out(data.size());
    chacha_ctx ctx{};
    const unsigned char key[32] = {1}, nonce[8] = {2};
    chacha_keysetup(&ctx, key, 256);
    const auto fastest = [&](auto encrypt) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int round = 0; round < 3; ++round) {
            chacha_ivsetup(&ctx, nonce, nullptr);
            const auto start = std::chrono::steady_clock::now();
            encrypt(&ctx, data.data(), out.data(), static_cast<unsigned>(data.size()));
            best = std::min(best, std::chrono::steady_clock::now() - start);
        }
        return std::chrono::duration<double, std::milli>(best).count();
    };
    const double ours = fastest(chacha_encrypt_bytes);
    const double reference = fastest(upstream_chacha_encrypt_bytes);
    EXPECT_LT(ours * 2, reference)
        << "ours " << ours << " ms, libssh2's own " << reference << " ms for 8 MiB";
}

} // namespace

/* ChaCha20 for libssh2's chacha20-poly1305@openssh.com, on OpenSSL's ChaCha20, which is
 * several times faster than the portable code on every PC we run on: the cipher is the
 * largest cost of a transfer. Same functions and state as libssh2's own chacha.c, which stays
 * as the fallback for what OpenSSL cannot do here (a counter about to pass 2^32 blocks, an
 * allocation that fails), so the output is always ChaCha20's.
 *
 * The build puts this file in place of libssh2's src/chacha.c and keeps that one as
 * src/chacha_upstream.c. */
#define chacha_keysetup upstream_chacha_keysetup
#define chacha_ivsetup upstream_chacha_ivsetup
#define chacha_encrypt_bytes upstream_chacha_encrypt_bytes
#include "chacha_upstream.c"
#undef chacha_keysetup
#undef chacha_ivsetup
#undef chacha_encrypt_bytes

#include <openssl/evp.h>

void chacha_keysetup(chacha_ctx *x, const u8 *k, u32 kbits);
void chacha_ivsetup(chacha_ctx *x, const u8 *iv, const u8 *counter);
void chacha_encrypt_bytes(chacha_ctx *x, const u8 *m, u8 *c, u32 bytes);

void chacha_keysetup(chacha_ctx *x, const u8 *k, u32 kbits)
{
    upstream_chacha_keysetup(x, k, kbits);
}

void chacha_ivsetup(chacha_ctx *x, const u8 *iv, const u8 *counter)
{
    upstream_chacha_ivsetup(x, iv, counter);
}

/* OpenSSL takes the last four state words as its 16-byte IV (a 32-bit block counter, then the
 * rest), which is exactly the original ChaCha's 64-bit counter and 64-bit nonce as long as the
 * counter's low word does not wrap. */
static int openssl_chacha(chacha_ctx *x, const u8 *m, u8 *c, u32 bytes)
{
    u8 key[32];
    u8 iv[16];
    int i;
    int out = 0;
    int ok = 0;
    const u32 blocks = bytes / 64 + (bytes % 64 != 0);
    EVP_CIPHER_CTX *ctx;

    if(blocks > 0xFFFFFFFFu - x->input[12])
        return 0;
    for(i = 0; i < 8; i++)
        U32TO8_LITTLE(key + 4 * i, x->input[4 + i]);
    for(i = 0; i < 4; i++)
        U32TO8_LITTLE(iv + 4 * i, x->input[12 + i]);
    ctx = EVP_CIPHER_CTX_new();
    if(ctx) {
        ok = EVP_EncryptInit_ex(ctx, EVP_chacha20(), NULL, key, iv) == 1 &&
             EVP_EncryptUpdate(ctx, c, &out, m, (int)bytes) == 1 && out == (int)bytes;
        EVP_CIPHER_CTX_free(ctx);
    }
    OPENSSL_cleanse(key, sizeof(key));
    if(ok)
        x->input[12] += blocks;
    return ok;
}

void chacha_encrypt_bytes(chacha_ctx *x, const u8 *m, u8 *c, u32 bytes)
{
    if(!bytes)
        return;
    if(bytes > 0x7FFFFFFFu || !openssl_chacha(x, m, c, bytes))
        upstream_chacha_encrypt_bytes(x, m, c, bytes);
}

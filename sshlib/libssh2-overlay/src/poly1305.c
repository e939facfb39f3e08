/* Poly1305 for libssh2's chacha20-poly1305@openssh.com, on OpenSSL's Poly1305, several times
 * faster than the portable code. libssh2's own poly1305.c stays as the fallback when OpenSSL
 * cannot give a tag (an allocation that fails), so a tag is always Poly1305's.
 *
 * The build puts this file in place of libssh2's src/poly1305.c and keeps that one as
 * src/poly1305_upstream.c. */
#define poly1305_auth upstream_poly1305_auth
#include "poly1305_upstream.c"
#undef poly1305_auth

#include <openssl/evp.h>

void poly1305_auth(unsigned char out[POLY1305_TAGLEN], const unsigned char *m, size_t inlen,
                   const unsigned char key[POLY1305_KEYLEN]);

void poly1305_auth(unsigned char out[POLY1305_TAGLEN], const unsigned char *m, size_t inlen,
                   const unsigned char key[POLY1305_KEYLEN])
{
    size_t length = 0;
    if(EVP_Q_mac(NULL, "POLY1305", NULL, NULL, NULL, key, POLY1305_KEYLEN, m, inlen, out,
                 POLY1305_TAGLEN, &length) == NULL || length != POLY1305_TAGLEN)
        upstream_poly1305_auth(out, m, inlen, key);
}

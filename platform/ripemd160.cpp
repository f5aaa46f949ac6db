#include "platform/ripemd160.h"
#include "platform/textcodec.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

namespace hashing {

QString ripemd160Hex(const QByteArray &data)
{
    EVP_MD *md = EVP_MD_fetch(nullptr, "RIPEMD160", nullptr);
    if (!md) {
        // Older OpenSSL 3 builds keep it in the legacy provider.
        OSSL_PROVIDER_load(nullptr, "legacy");
        OSSL_PROVIDER_load(nullptr, "default");
        md = EVP_MD_fetch(nullptr, "RIPEMD160", nullptr);
    }
    if (!md)
        return QString();
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_MD_CTX *ctx = EVP_MD_CTX_new();
    EVP_DigestInit_ex(ctx, md, nullptr);
    EVP_DigestUpdate(ctx, data.constData(), size_t(data.size()));
    EVP_DigestFinal_ex(ctx, out, &len);
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(out), int(len)).toHex());
}

QString passwordHash(const QString &password) { return ripemd160Hex(textcodec::toWindows1252(password)); }

} // namespace hashing

#include "intp/Md5.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace Intp {

namespace {

// Fetched once: an implicit fetch per digest costs more than the digest of a
// short text.
const EVP_MD* Md5Method()
{
    static const struct TMethod {
        EVP_MD* md = EVP_MD_fetch(nullptr, "MD5", nullptr);
        ~TMethod() { EVP_MD_free(md); }
    } method;
    return method.md;
}

} // namespace

TMd5Digest Md5(const void* data, size_t size)
{
    TMd5Digest digest{};
    unsigned int length = 0;
    static const unsigned char empty = 0;
    const EVP_MD* md = Md5Method();
    if (!md || !EVP_Digest(size ? data : &empty, size, digest.data(), &length, md, nullptr) ||
        length != digest.size())
        throw std::runtime_error("MD5 is not available");
    return digest;
}

} // namespace Intp

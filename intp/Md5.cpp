#include "intp/Md5.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace Intp {

TMd5Digest Md5(const void* data, size_t size)
{
    TMd5Digest digest{};
    unsigned int length = 0;
    static const unsigned char empty = 0;
    if (!EVP_Digest(size ? data : &empty, size, digest.data(), &length, EVP_md5(), nullptr) ||
        length != digest.size())
        throw std::runtime_error("MD5 is not available");
    return digest;
}

} // namespace Intp

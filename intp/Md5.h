// MD5 (RFC 1321).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Intp {

using TMd5Digest = std::array<uint8_t, 16>;

TMd5Digest Md5(const void* data, size_t size);

} // namespace Intp

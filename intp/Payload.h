// Bounds-checked readers and writers of protocol payloads.
//
// Integers are big-endian on the wire unless the *Le variants are used.
// Reading past the end yields 0 (or an empty text) and sets the fail flag;
// writing past the end writes nothing and sets the fail flag. Neither can
// touch memory outside the buffer they were given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace Intp {

// What the reader and the writer share: a position over a bounded buffer.
template <class TByte>
class TPayloadCursor {
public:
    size_t Size() const { return m_Size; }
    size_t Pos() const { return m_Pos; }
    size_t Remaining() const { return m_Pos < m_Size ? m_Size - m_Pos : 0; }
    bool Has(size_t n) const { return n <= Remaining(); }
    bool Failed() const { return m_Fail; }
    bool Ok() const { return !m_Fail; }
    TByte* Data() const { return m_Data; }

    // Moves the position; a position past the end fails.
    void Seek(size_t pos) {
        if (pos > m_Size) Fail(); else m_Pos = pos;
    }
    void Skip(size_t n) {
        if (!Has(n)) Fail(); else m_Pos += n;
    }

protected:
    TPayloadCursor() = default;
    TPayloadCursor(TByte* data, size_t size) : m_Data(data), m_Size(data ? size : 0) {}
    void Fail() { m_Fail = true; m_Pos = m_Size; }

    TByte* m_Data = nullptr;
    size_t m_Size = 0;
    size_t m_Pos = 0;
    bool m_Fail = false;
};

class TPayloadReader : public TPayloadCursor<const uint8_t> {
public:
    TPayloadReader() = default;
    TPayloadReader(const void* data, size_t size) : TPayloadCursor(static_cast<const uint8_t*>(data), size) {}

    // A reader over the next n bytes; the parent moves past them. When fewer
    // than n remain, the sub-reader holds what is left and both fail.
    TPayloadReader Sub(size_t n) {
        size_t take = Has(n) ? n : Remaining();
        TPayloadReader r(take ? m_Data + m_Pos : nullptr, take);
        if (take < n) { r.m_Fail = true; m_Fail = true; }
        m_Pos += take;
        return r;
    }

    uint8_t U8() {
        if (!Has(1)) return Fail<uint8_t>(1);
        return m_Data[m_Pos++];
    }
    bool Bool() { return U8() != 0; }
    uint16_t U16() {
        if (!Has(2)) return Fail<uint16_t>(2);
        uint16_t v = uint16_t(m_Data[m_Pos] << 8 | m_Data[m_Pos + 1]);
        m_Pos += 2;
        return v;
    }
    uint32_t U32() {
        if (!Has(4)) return Fail<uint32_t>(4);
        uint32_t v = uint32_t(m_Data[m_Pos]) << 24 | uint32_t(m_Data[m_Pos + 1]) << 16 |
                     uint32_t(m_Data[m_Pos + 2]) << 8 | uint32_t(m_Data[m_Pos + 3]);
        m_Pos += 4;
        return v;
    }
    uint16_t U16Le() {
        if (!Has(2)) return Fail<uint16_t>(2);
        uint16_t v = uint16_t(m_Data[m_Pos] | m_Data[m_Pos + 1] << 8);
        m_Pos += 2;
        return v;
    }
    uint32_t U32Le() {
        if (!Has(4)) return Fail<uint32_t>(4);
        uint32_t v = uint32_t(m_Data[m_Pos]) | uint32_t(m_Data[m_Pos + 1]) << 8 |
                     uint32_t(m_Data[m_Pos + 2]) << 16 | uint32_t(m_Data[m_Pos + 3]) << 24;
        m_Pos += 4;
        return v;
    }
    // Copies n raw bytes; on a short payload the destination is zero-filled.
    bool Bytes(void* dst, size_t n) {
        if (!Has(n)) {
            if (n) std::memset(dst, 0, n);
            Fail<int>(n);
            return false;
        }
        if (n) std::memcpy(dst, m_Data + m_Pos, n);
        m_Pos += n;
        return true;
    }
    // Fixed-width NUL-padded text field: up to the first NUL, at most width
    // characters; the position always moves by width.
    std::string Text(size_t width) {
        if (!Has(width)) { Fail<int>(width); return std::string(); }
        const char* p = reinterpret_cast<const char*>(m_Data + m_Pos);
        size_t n = 0;
        while (n < width && p[n] != '\0') ++n;
        m_Pos += width;
        return std::string(p, n);
    }

    // Reads at an absolute offset without moving the position.
    uint32_t U32At(size_t off) const { TPayloadReader r(*this); r.Seek(off); return r.U32(); }

private:
    template <class T> T Fail(size_t) {
        TPayloadCursor::Fail();
        return T();
    }
};

class TPayloadWriter : public TPayloadCursor<uint8_t> {
public:
    TPayloadWriter() = default;
    TPayloadWriter(void* data, size_t size) : TPayloadCursor(static_cast<uint8_t*>(data), size) {}

    // Writes n zero bytes.
    void Zero(size_t n) {
        if (!Has(n)) { Fail(); return; }
        if (n) std::memset(m_Data + m_Pos, 0, n);
        m_Pos += n;
    }

    void U8(uint8_t v) {
        if (!Has(1)) { Fail(); return; }
        m_Data[m_Pos++] = v;
    }
    void Bool(bool v) { U8(v ? 1 : 0); }
    void U16(uint16_t v) {
        if (!Has(2)) { Fail(); return; }
        m_Data[m_Pos] = uint8_t(v >> 8);
        m_Data[m_Pos + 1] = uint8_t(v);
        m_Pos += 2;
    }
    void U32(uint32_t v) {
        if (!Has(4)) { Fail(); return; }
        m_Data[m_Pos] = uint8_t(v >> 24);
        m_Data[m_Pos + 1] = uint8_t(v >> 16);
        m_Data[m_Pos + 2] = uint8_t(v >> 8);
        m_Data[m_Pos + 3] = uint8_t(v);
        m_Pos += 4;
    }
    void U16Le(uint16_t v) {
        if (!Has(2)) { Fail(); return; }
        m_Data[m_Pos] = uint8_t(v);
        m_Data[m_Pos + 1] = uint8_t(v >> 8);
        m_Pos += 2;
    }
    void U32Le(uint32_t v) {
        if (!Has(4)) { Fail(); return; }
        m_Data[m_Pos] = uint8_t(v);
        m_Data[m_Pos + 1] = uint8_t(v >> 8);
        m_Data[m_Pos + 2] = uint8_t(v >> 16);
        m_Data[m_Pos + 3] = uint8_t(v >> 24);
        m_Pos += 4;
    }
    void Bytes(const void* src, size_t n) {
        if (!Has(n)) { Fail(); return; }
        if (n) std::memcpy(m_Data + m_Pos, src, n);
        m_Pos += n;
    }
    // Fixed-width text field: at most width characters, the rest zero; a text
    // that fills the field has no terminating NUL.
    void Text(std::string_view text, size_t width) {
        if (!Has(width)) { Fail(); return; }
        size_t n = text.size() < width ? text.size() : width;
        if (n) std::memcpy(m_Data + m_Pos, text.data(), n);
        if (width > n) std::memset(m_Data + m_Pos + n, 0, width - n);
        m_Pos += width;
    }

};

} // namespace Intp

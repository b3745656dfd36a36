// The wire codecs of field-described records (see intp/Record.h): the byte
// orders, the codecs of each field kind, and the fields that read and write
// a record's members with them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "intp/Codes.h"
#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Payload.h"

namespace Intp {

// Which message of a feature a layout describes.
enum class TMessage : uint8_t { Get, Set };
// The byte order of the integers.
enum class TOrder : uint8_t { Wire, Host };

// An entry's status under its record's entry check, which a record may
// declare as
//     static uint16_t CheckEntry(const TDeviceType& model, const TEntry& entry);
// (ssOk, or the status that rejects the entry). Replies, Sets and the fake
// switch all run it.
template <class R, class E> uint16_t CheckEntryOf(const TDeviceType& model, const E& entry)
{
    if constexpr (requires { R::CheckEntry(model, entry); }) return R::CheckEntry(model, entry);
    else return ssOk;
}

namespace RecordDetail {

enum TOnly : uint8_t { onBoth, onGet, onSet };

constexpr bool Carried(TOnly only, TMessage wire)
{
    return only == onBoth || (only == onGet) == (wire == TMessage::Get);
}

// An unsigned integer of W bytes on the wire; Le marks a little-endian field.
template <size_t W, bool Le = false>
struct TIntCodec {
    static_assert(W == 1 || W == 2 || W == 4);
    constexpr size_t Size() const { return W; }

    using THost = std::conditional_t<W == 1, uint8_t, std::conditional_t<W == 2, uint16_t, uint32_t>>;

    static uint32_t ReadValue(TPayloadReader& in, TOrder order)
    {
        if (W == 1 || order == TOrder::Host) {
            THost v{};
            in.Bytes(&v, W);
            return v;
        }
        if constexpr (W == 2) return Le ? in.U16Le() : in.U16();
        else return Le ? in.U32Le() : in.U32();
    }
    static void WriteValue(TPayloadWriter& out, uint32_t value, TOrder order)
    {
        if (W == 1 || order == TOrder::Host) {
            THost v = THost(value);
            out.Bytes(&v, W);
        } else if constexpr (W == 2) {
            Le ? out.U16Le(uint16_t(value)) : out.U16(uint16_t(value));
        } else {
            Le ? out.U32Le(value) : out.U32(value);
        }
    }

    template <class T> void Read(TPayloadReader& in, T& v, TOrder order) const { v = T(ReadValue(in, order)); }
    template <class T> void Write(TPayloadWriter& out, const T& v, TOrder order) const
    {
        WriteValue(out, uint32_t(v), order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to) const
    {
        WriteValue(out, ReadValue(in, from), to);
    }
};

// Bytes that travel as they stand: copied whole in both orders.
struct TRawCodec {
    size_t width = 0;
    constexpr size_t Size() const { return width; }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder, TOrder) const
    {
        TPayloadReader field = in.Sub(width);
        out.Bytes(field.Data(), field.Size());
        if (field.Size() < width) out.Zero(width - field.Size());
    }
};

// limit: the characters written at most (0: the width); the bytes after them
// are always sent as 0, whatever the page put there.
struct TTextCodec : TRawCodec {
    size_t limit = 0;
    constexpr size_t Written() const { return limit && limit < width ? limit : width; }
    void Read(TPayloadReader& in, std::string& v, TOrder) const { v = in.Text(width); }
    void Write(TPayloadWriter& out, const std::string& v, TOrder) const
    {
        out.Text(std::string_view(v).substr(0, Written()), width);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder, TOrder) const
    {
        TPayloadReader field = in.Sub(width);
        size_t n = field.Size() < Written() ? field.Size() : Written();
        out.Bytes(field.Data(), n);
        out.Zero(width - n);
    }
};

struct TMacCodec : TRawCodec {
    constexpr TMacCodec() : TRawCodec{6} {}
    void Read(TPayloadReader& in, TMacAddr& v, TOrder) const
    {
        uint8_t b[6];
        in.Bytes(b, 6);
        v = TMacAddr(b);
    }
    void Write(TPayloadWriter& out, const TMacAddr& v, TOrder) const { out.Bytes(v.Bytes().data(), 6); }
};

template <size_t N>
struct TBytesCodec : TRawCodec {
    constexpr TBytesCodec() : TRawCodec{N} {}
    void Read(TPayloadReader& in, std::array<uint8_t, N>& v, TOrder) const { in.Bytes(v.data(), N); }
    void Write(TPayloadWriter& out, const std::array<uint8_t, N>& v, TOrder) const { out.Bytes(v.data(), N); }
};

// N unsigned integers of W bytes each, back to back (per-slot values).
template <size_t N, size_t W, bool Le = false>
struct TIntListCodec {
    constexpr size_t Size() const { return N * W; }
    template <class T> void Read(TPayloadReader& in, std::array<T, N>& v, TOrder order) const
    {
        for (T& x : v) x = T(TIntCodec<W, Le>::ReadValue(in, order));
    }
    template <class T> void Write(TPayloadWriter& out, const std::array<T, N>& v, TOrder order) const
    {
        for (const T& x : v) TIntCodec<W, Le>::WriteValue(out, uint32_t(x), order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to) const
    {
        for (size_t i = 0; i < N; ++i) TIntCodec<W, Le>::WriteValue(out, TIntCodec<W, Le>::ReadValue(in, from), to);
    }
};

// A member of a record (C, or a record derived from C).
template <class C, class M, class Codec>
struct TMemberField {
    M C::*member;
    Codec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R& r, TMessage, TOrder order, size_t) const
    {
        codec.Read(in, static_cast<C&>(r).*member, order);
    }
    template <class R> void Write(TPayloadWriter& out, const R& r, TMessage, TOrder order) const
    {
        codec.Write(out, static_cast<const C&>(r).*member, order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage, TOrder from, TOrder to, size_t) const
    {
        codec.Convert(in, out, from, to);
    }
};

// The record itself (an entry that is a bare value, such as a MAC address).
template <class Codec>
struct TSelfField {
    Codec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R& r, TMessage, TOrder order, size_t) const { codec.Read(in, r, order); }
    template <class R> void Write(TPayloadWriter& out, const R& r, TMessage, TOrder order) const { codec.Write(out, r, order); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage, TOrder from, TOrder to, size_t) const
    {
        codec.Convert(in, out, from, to);
    }
};

// Reserved bytes: ignored when read, and sent as 0 whatever the bytes a
// page handed over hold there.
struct TSkipField {
    TRawCodec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R&, TMessage, TOrder, size_t) const { in.Skip(codec.width); }
    template <class R> void Write(TPayloadWriter& out, const R&, TMessage, TOrder) const { out.Zero(codec.width); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage, TOrder, TOrder, size_t) const
    {
        in.Skip(codec.width);
        out.Zero(codec.width);
    }
};

// An array element: a value of a codec, whatever the message.
template <class Codec>
struct TValueCodec {
    Codec codec;
    constexpr size_t Size(TMessage) const { return codec.Size(); }
    template <class E> void Read(TPayloadReader& in, E& e, TMessage, TOrder order) const { codec.Read(in, e, order); }
    template <class E> void Write(TPayloadWriter& out, const E& e, TMessage, TOrder order) const
    {
        codec.Write(out, e, order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage, TOrder from, TOrder to) const
    {
        codec.Convert(in, out, from, to);
    }
};

// An array element: an entry of its own layout (fields may be carried by one
// message only, so the entry's size may differ between Get and Set).
template <class L>
struct TEntryCodec {
    L layout;
    constexpr size_t Size(TMessage wire) const { return layout.FixedSize(wire); }
    template <class E> void Read(TPayloadReader& in, E& e, TMessage wire, TOrder order) const
    {
        layout.Read(in, e, wire, 0, order);
    }
    template <class E> void Write(TPayloadWriter& out, const E& e, TMessage wire, TOrder order) const
    {
        layout.Write(out, e, wire, order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage wire, TOrder from, TOrder to) const
    {
        layout.Convert(in, out, wire, 0, from, to);
    }
};

// One element per unit of a count rule; always the last field. With a held
// member the array keeps room for the whole model count and held tells how
// many elements the message carried (and how many a Set sends).
template <class C, class E, class Codec>
struct TArrayField {
    std::vector<E> C::*member;
    Codec codec;
    TCountKind count;
    uint32_t C::*held = nullptr;
    TOnly only = onBoth;

    static constexpr bool IsArray = true;
    constexpr size_t Size() const { return 0; }
    constexpr size_t ElementSize(TMessage wire) const { return codec.Size(wire); }
    // The elements a message of r carries.
    template <class R> size_t Length(const R& r) const
    {
        const C& c = static_cast<const C&>(r);
        size_t n = (c.*member).size();
        return held && c.*held < n ? c.*held : n;
    }
    template <class R> void Read(TPayloadReader& in, R& r, TMessage wire, TOrder order, size_t n) const
    {
        C& c = static_cast<C&>(r);
        (c.*member).assign(n, E{});
        for (E& e : c.*member) codec.Read(in, e, wire, order);
        if (held) c.*held = uint32_t(n);
    }
    template <class R> void Write(TPayloadWriter& out, const R& r, TMessage wire, TOrder order) const
    {
        const std::vector<E>& v = static_cast<const C&>(r).*member;
        for (size_t i = 0, n = Length(r); i < n; ++i) codec.Write(out, v[i], wire, order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage wire, TOrder from, TOrder to, size_t n) const
    {
        for (size_t i = 0; i < n; ++i) codec.Convert(in, out, wire, from, to);
    }
    template <class R> std::vector<E>& Of(R& r) const { return static_cast<C&>(r).*member; }
    template <class R> void Resize(R& r, size_t n) const
    {
        C& c = static_cast<C&>(r);
        (c.*member).resize(n);
        if (held) c.*held = uint32_t(n);
    }
    template <class R> void Assign(R& r, std::vector<E> elements) const
    {
        C& c = static_cast<C&>(r);
        if (held) c.*held = uint32_t(elements.size());
        c.*member = std::move(elements);
    }
    // After an accepted reply: room for the model count.
    template <class R> void Fit(R& r, size_t modelCount) const
    {
        if (held) (static_cast<C&>(r).*member).resize(modelCount);
    }
    template <class R> uint16_t Check(const R& r, const TDeviceType& model) const
    {
        const std::vector<E>& v = static_cast<const C&>(r).*member;
        for (size_t i = 0, n = Length(r); i < n; ++i)
            if (uint16_t status = CheckEntryOf<C>(model, v[i]); status != ssOk) return status;
        return ssOk;
    }
};

template <class F> constexpr F Only(F field, TOnly only)
{
    field.only = only;
    return field;
}

} // namespace RecordDetail

} // namespace Intp

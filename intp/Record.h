// Field-described records.
//
// A feature record declares its wire fields once, as a layout:
//
//     struct TPropertyWarningFault {
//         static constexpr int32_t Key = PropertyKey(ccWarningFaultGet);
//         bool valid = false;
//         uint32_t systemMask = 0;
//         uint32_t portMask = 0;
//         static constexpr auto Fields = Layout(Wire::U32(&TPropertyWarningFault::systemMask),
//                                               Wire::U32(&TPropertyWarningFault::portMask));
//     };
//
// and everything else reads that declaration: the Get decodes its reply with
// it, the Set encodes its request, the fake switch answers and stores it,
// tests decode what was sent. A table record declares EntryFields (the
// layout of one entry) and PageEntries instead (see TSessionTableGet).
//
// Field makers (namespace Intp::Wire): Flag (bool, one byte, non-zero reads
// true), U8, U16, U32 (unsigned integers of that wire width, big-endian, into
// a member of any integer type), U16Le and U32Le (the few little-endian
// fields; U8s and U16Les for per-slot arrays), Ip (an IPv4 address, u32), Mac, Bytes (a std::array<uint8_t, N>),
// Text (fixed width, NUL-padded; optionally written shorter), Skip (bytes not read, zero when written),
// and Array / TextArray / Entries (values or structured entries, as many as
// a count rule allows: a model count, one up to ports and trunk groups, or at
// least one; last in the layout). A record may declare CheckEntry, the check
// each entry passes in a reply, in a Set and at the fake switch. GetOnly(field) and SetOnly(field) mark a field that only the Get
// reply or only the Set request carries (the switch's clock). The makers
// without a member (Mac(), U32(), Text(width)) describe a value that is a
// whole entry or an array element.
//
// A layout is read and written in two byte orders. Wire: what travels.
// Host: what a page hands to a Set's SetPayload(bytes) or SetEntries(bytes,
// n) - the same offsets and widths, integers in host order, everything else
// as it travels. A Set carries host bytes unchanged apart from the integer
// conversion, so flag bytes and text bytes after a NUL reach the switch as
// the page built them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Payload.h"
#include "intp/Session.h"

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

struct TSkipField {
    TRawCodec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R&, TMessage, TOrder, size_t) const { in.Skip(codec.width); }
    template <class R> void Write(TPayloadWriter& out, const R&, TMessage, TOrder) const { out.Zero(codec.width); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TMessage, TOrder from, TOrder to, size_t) const
    {
        codec.Convert(in, out, from, to);
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

// A record's wire fields in order.
template <class... F>
class TLayout {
public:
    constexpr explicit TLayout(F... fields) : m_Fields(fields...)
    {
        static_assert(ArrayCount() <= 1, "one array per layout");
    }

    // Bytes of the message without its array.
    constexpr size_t FixedSize(TMessage wire) const
    {
        return std::apply(
            [wire](const auto&... f) { return ((RecordDetail::Carried(f.only, wire) ? f.Size() : 0) + ... + 0); },
            m_Fields);
    }
    // Bytes of one array element in this message; 0 without an array.
    constexpr size_t ElementSize(TMessage wire) const
    {
        size_t size = 0;
        std::apply([&](const auto&... f) { ((size += ArrayElementSize(f, wire)), ...); }, m_Fields);
        return size;
    }
    constexpr bool HasArray() const { return ArrayCount() != 0; }
    // The count rule of the array.
    constexpr TCountKind ArrayKind() const
    {
        TCountKind kind = TCountKind::ckNone;
        std::apply([&kind](const auto&... f) { ((kind = ArrayKindOf(f, kind)), ...); }, m_Fields);
        return kind;
    }
    // Bytes of the message with n array elements.
    constexpr size_t Size(TMessage wire, size_t n = 0) const { return FixedSize(wire) + ElementSize(wire) * n; }
    // Whole array elements that size bytes hold (0 without an array).
    constexpr size_t ElementsIn(TMessage wire, size_t size) const
    {
        size_t fixed = FixedSize(wire);
        return HasArray() && size > fixed ? (size - fixed) / ElementSize(wire) : 0;
    }
    // Array elements r's message carries.
    template <class R> size_t ArrayLength(const R& r) const
    {
        size_t n = 0;
        std::apply([&](const auto&... f) { ((n += ArrayLengthOf(f, r)), ...); }, m_Fields);
        return n;
    }
    // Bytes of r's message.
    template <class R> size_t SizeOf(const R& r, TMessage wire) const { return Size(wire, ArrayLength(r)); }

    // r's array.
    template <class R> auto& Elements(R& r) const
    {
        static_assert(ArrayCount() == 1, "a record with an array");
        return std::get<ArrayIndex()>(m_Fields).Of(r);
    }
    // Characters a page may write into the text field of member m, or into
    // each text of its text array (its width, or the fewer it is written
    // with); 0 when no text field has that member.
    template <class M> constexpr size_t TextWidth(M m) const
    {
        size_t width = 0;
        std::apply([&](const auto&... f) { ((width = TextWidthOf(f, m, width)), ...); }, m_Fields);
        return width;
    }

    // Gives r's array n elements.
    template <class R> void ResizeArray(R& r, size_t n) const
    {
        std::apply([&](const auto&... f) { (ForArray(f, [&](const auto& a) { a.Resize(r, n); }), ...); }, m_Fields);
    }
    // Makes elements r's array.
    template <class R, class E> void AssignArray(R& r, const std::vector<E>& elements) const
    {
        std::apply([&](const auto&... f) { (ForArray(f, [&](const auto& a) { a.Assign(r, elements); }), ...); },
                   m_Fields);
    }
    // After an accepted reply: an array with a held count keeps room for the
    // model count.
    template <class R> void FitArray(R& r, const TDeviceType& model) const
    {
        std::apply(
            [&](const auto&... f) {
                (ForArray(f, [&](const auto& a) { a.Fit(r, ModelCount(a.count, model)); }), ...);
            },
            m_Fields);
    }
    // Runs the record's entry check on each element r's message carries:
    // ssOk, or the first rejecting status.
    template <class R> uint16_t CheckEntries(const R& r, const TDeviceType& model) const
    {
        uint16_t status = ssOk;
        std::apply([&](const auto&... f) { (ForArray(f, [&](const auto& a) { status = a.Check(r, model); }), ...); },
                   m_Fields);
        return status;
    }

    // Reads the fields r carries in this message; the array takes n elements.
    // False when the bytes ran out.
    template <class R>
    bool Read(TPayloadReader& in, R& r, TMessage wire, size_t n = 0, TOrder order = TOrder::Wire) const
    {
        std::apply(
            [&](const auto&... f) {
                ((RecordDetail::Carried(f.only, wire) ? f.Read(in, r, wire, order, n) : void()), ...);
            },
            m_Fields);
        return in.Ok();
    }
    template <class R> bool Write(TPayloadWriter& out, const R& r, TMessage wire, TOrder order = TOrder::Wire) const
    {
        std::apply(
            [&](const auto&... f) {
                ((RecordDetail::Carried(f.only, wire) ? f.Write(out, r, wire, order) : void()), ...);
            },
            m_Fields);
        return out.Ok();
    }
    // Copies a message from one byte order to the other.
    bool Convert(TPayloadReader& in, TPayloadWriter& out, TMessage wire, size_t n, TOrder from, TOrder to) const
    {
        std::apply(
            [&](const auto&... f) {
                ((RecordDetail::Carried(f.only, wire) ? f.Convert(in, out, wire, from, to, n) : void()), ...);
            },
            m_Fields);
        return in.Ok() && out.Ok();
    }

private:
    template <class G, class M> static constexpr size_t TextWidthOf(const G& f, M m, size_t width)
    {
        using TCodec = std::remove_cvref_t<decltype(f.codec)>;
        if constexpr (!requires { f.member == m; })
            return width;
        else if constexpr (std::is_same_v<TCodec, RecordDetail::TTextCodec>)
            return f.member == m ? f.codec.Written() : width;
        else if constexpr (std::is_same_v<TCodec, RecordDetail::TValueCodec<RecordDetail::TTextCodec>>)
            return f.member == m ? f.codec.codec.Written() : width;
        else
            return width;
    }
    static constexpr size_t ArrayCount() { return (size_t(F::IsArray) + ... + 0); }
    static constexpr size_t ArrayIndex()
    {
        size_t i = 0, found = 0;
        ((found = F::IsArray ? i : found, ++i), ...);
        return found;
    }
    template <class G> static constexpr size_t ArrayElementSize(const G& f, TMessage wire)
    {
        if constexpr (G::IsArray) return f.ElementSize(wire);
        else return 0;
    }
    template <class G> static constexpr TCountKind ArrayKindOf(const G& f, TCountKind kind)
    {
        if constexpr (G::IsArray) return f.count;
        else return kind;
    }
    template <class G, class R> static size_t ArrayLengthOf(const G& f, const R& r)
    {
        if constexpr (G::IsArray) return f.Length(r);
        else return 0;
    }
    template <class G, class Fn> static void ForArray(const G& f, Fn&& fn)
    {
        if constexpr (G::IsArray) fn(f);
    }

    std::tuple<F...> m_Fields;
};

template <class... F> constexpr TLayout<F...> Layout(F... fields) { return TLayout<F...>(fields...); }

// Field makers.
namespace Wire {

template <class C, class M> constexpr auto Flag(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<1>>{m, {}};
}
template <class C, class M> constexpr auto U8(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<1>>{m, {}};
}
template <class C, class M> constexpr auto U16(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<2>>{m, {}};
}
template <class C, class M> constexpr auto U32(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<4>>{m, {}};
}
template <class C, class M> constexpr auto U16Le(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<2, true>>{m, {}};
}
template <class C, class M> constexpr auto U32Le(M C::*m)
{
    return RecordDetail::TMemberField<C, M, RecordDetail::TIntCodec<4, true>>{m, {}};
}
template <class C> constexpr auto Ip(uint32_t C::*m) { return U32(m); }
// N values per slot: U8s of one byte (flags read non-zero as true), U16Les
// of two little-endian bytes each.
template <class C, class T, size_t N> constexpr auto U8s(std::array<T, N> C::*m)
{
    return RecordDetail::TMemberField<C, std::array<T, N>, RecordDetail::TIntListCodec<N, 1>>{m, {}};
}
template <class C, class T, size_t N> constexpr auto U16Les(std::array<T, N> C::*m)
{
    return RecordDetail::TMemberField<C, std::array<T, N>, RecordDetail::TIntListCodec<N, 2, true>>{m, {}};
}

template <class C> constexpr auto Mac(TMacAddr C::*m)
{
    return RecordDetail::TMemberField<C, TMacAddr, RecordDetail::TMacCodec>{m, {}};
}
constexpr auto Mac() { return RecordDetail::TSelfField<RecordDetail::TMacCodec>{}; }
template <class C, size_t N> constexpr auto Bytes(std::array<uint8_t, N> C::*m)
{
    return RecordDetail::TMemberField<C, std::array<uint8_t, N>, RecordDetail::TBytesCodec<N>>{m, {}};
}
template <class C> constexpr auto Text(std::string C::*m, size_t width)
{
    return RecordDetail::TMemberField<C, std::string, RecordDetail::TTextCodec>{m, {{width}}};
}
// A text read with its whole width but written with at most limit
// characters, so that the field always ends in a 0 byte.
template <class C> constexpr auto Text(std::string C::*m, size_t width, size_t limit)
{
    return RecordDetail::TMemberField<C, std::string, RecordDetail::TTextCodec>{m, {{width}, limit}};
}
constexpr auto Skip(size_t n) { return RecordDetail::TSkipField{{n}}; }
// Makers without a member describe a value that is the whole entry or one
// array element.
constexpr auto U8() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<1>>{}; }
constexpr auto U16() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<2>>{}; }
constexpr auto U32() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<4>>{}; }
constexpr auto Text(size_t width) { return RecordDetail::TSelfField<RecordDetail::TTextCodec>{{{width}}}; }
// One element (a value field such as U32() or Text(8)) per unit of a count
// rule: exactly a model count (ckPortNum, ...), one up to ports and trunk
// groups (ckUpToPortAndTrunkGroupNum) or at least one (ckAny).
template <class C, class E, class Codec>
constexpr auto Array(std::vector<E> C::*m, RecordDetail::TSelfField<Codec> element, TCountKind count)
{
    return RecordDetail::TArrayField<C, E, RecordDetail::TValueCodec<Codec>>{m, {element.codec}, count};
}
// One structured entry (its own layout) per unit of a count rule. With held,
// the array keeps room for the whole model count after each accepted reply
// and held counts the entries the message carried; a Set sends that many.
template <class C, class E, class L>
constexpr auto Entries(std::vector<E> C::*m, const L& entry, TCountKind count, uint32_t C::*held = nullptr)
{
    return RecordDetail::TArrayField<C, E, RecordDetail::TEntryCodec<L>>{m, {entry}, count, held};
}
template <class C> constexpr auto TextArray(std::vector<std::string> C::*m, size_t width, TCountKind count)
{
    return Array(m, Text(width), count);
}
template <class F> constexpr F GetOnly(F field) { return RecordDetail::Only(field, RecordDetail::onGet); }
template <class F> constexpr F SetOnly(F field) { return RecordDetail::Only(field, RecordDetail::onSet); }

} // namespace Wire

// Whole records and entry lists as bytes: for Sets built from typed values,
// for the fake switch, and for tests that read what was sent.

// r's message; its array as long as it is.
template <class R, class L = decltype(R::Fields)>
std::vector<uint8_t> EncodeRecord(const R& r, TMessage wire = TMessage::Set, TOrder order = TOrder::Wire,
                                  const L& fields = R::Fields)
{
    std::vector<uint8_t> bytes(fields.SizeOf(r, wire));
    TPayloadWriter out(bytes.data(), bytes.size());
    fields.Write(out, r, wire, order);
    return bytes;
}

// A record read from a message; the array takes every whole element there is.
template <class R, class L = decltype(R::Fields)>
R DecodeRecord(const void* data, size_t size, TMessage wire = TMessage::Set, TOrder order = TOrder::Wire,
               const L& fields = R::Fields)
{
    R r{};
    TPayloadReader in(data, size);
    fields.Read(in, r, wire, fields.ElementsIn(wire, size), order);
    return r;
}
template <class R>
R DecodeRecord(const std::vector<uint8_t>& bytes, TMessage wire = TMessage::Set, TOrder order = TOrder::Wire)
{
    return DecodeRecord<R>(bytes.data(), bytes.size(), wire, order);
}

// Entries back to back (the entry part of a variable-size Set or a table page).
template <class L, class E>
std::vector<uint8_t> EncodeEntries(const L& fields, const std::vector<E>& entries, TOrder order = TOrder::Wire,
                                   TMessage wire = TMessage::Set)
{
    std::vector<uint8_t> bytes(fields.FixedSize(wire) * entries.size());
    TPayloadWriter out(bytes.data(), bytes.size());
    for (const E& e : entries) fields.Write(out, e, wire, order);
    return bytes;
}
template <class E, class L>
std::vector<E> DecodeEntries(const L& fields, const void* data, size_t size, TOrder order = TOrder::Wire,
                             TMessage wire = TMessage::Set)
{
    size_t entrySize = fields.FixedSize(wire);
    std::vector<E> entries(entrySize ? size / entrySize : 0);
    TPayloadReader in(data, size);
    for (E& e : entries) fields.Read(in, e, wire, 0, order);
    return entries;
}

// The typed payload of a request of class T (T::Payload in the layout
// T::PayloadFields), read from the wire bytes after the header: what a test
// reads back from a sent frame, what the fake switch reads from a request.
template <class T> typename T::Payload DecodePayload(const void* payload, size_t size)
{
    return DecodeRecord<typename T::Payload>(payload, size, TMessage::Set, TOrder::Wire, T::PayloadFields);
}
template <class T> typename T::Payload DecodeFrame(const std::vector<uint8_t>& frame)
{
    if (frame.size() < HeaderSize) return typename T::Payload{};
    return DecodePayload<T>(frame.data() + HeaderSize, frame.size() - HeaderSize);
}

// Requests declared from records.

// The status that rejects a reply whose array count is wrong: R::CountStatus
// when the family names one, else ssBadReply.
template <class R> constexpr uint16_t CountStatusOf()
{
    if constexpr (requires { R::CountStatus; }) return R::CountStatus;
    else return ssBadReply;
}

// Decodes a Get reply. An array takes as many elements as the reply holds;
// a count its rule refuses on the device's model is CountStatusOf<R>()
// (nothing is read then). Each element then passes the record's entry check;
// an accepted array with a held count keeps room for the model count.
template <class R, class L>
uint16_t DecodeReply(TDevice* device, const L& fields, R& record, TPayloadReader& payload)
{
    const TDeviceType& model = GetDeviceType(device ? device->GetType() : 0);
    size_t n = 0;
    if (fields.HasArray()) {
        n = fields.ElementsIn(TMessage::Get, payload.Size());
        if (payload.Size() < fields.FixedSize(TMessage::Get) || !CheckCount(fields.ArrayKind(), model, n))
            return CountStatusOf<R>();
    }
    if (!fields.Read(payload, record, TMessage::Get, n)) return ssBadReply;
    uint16_t status = fields.CheckEntries(record, model);
    if (status == ssOk) fields.FitArray(record, model);
    return status;
}

// A Get whose reply is its record's layout. Override Check for the family's
// value checks. The reply is decoded and checked aside: a rejected reply
// leaves the stored values as they were (only valid is cleared).
template <uint16_t Code, class TRecord, int Row = 0>
class TSessionRecordGet : public TSessionGet<Code, TRecord, Row> {
    static_assert(TRecord::Fields.FixedSize(TMessage::Get) <= GetCommandInfo(Code, Row).minReply,
                  "the common reply check lets no reply shorter than the layout through");

protected:
    uint16_t Decode(TDevice* device, TRecord& record, TPayloadReader& payload) override
    {
        TRecord fresh = record;
        uint16_t status = DecodeReply(device, TRecord::Fields, fresh, payload);
        if (status == ssOk) status = Check(device, fresh);
        if (status == ssOk) record = std::move(fresh);
        return status;
    }
    // ssOk, or the status that rejects the decoded record.
    virtual uint16_t Check(TDevice*, const TRecord&) { return ssOk; }
};

// The model of the device a request goes to.
inline const TDeviceType& ModelOf(const TDevice* device) { return GetDeviceType(device ? device->GetType() : 0); }

// A Set that sends one message of a layout. It holds the payload as the page
// built it (host order) and converts only its integers when it sends.
template <uint16_t Code, class TRefresh, class T, const auto& Fields, TSetNotify Order = TSetNotify::OwnCodeLast,
          int Row = 0>
class TSessionLayoutSet : public TSessionSet<Code, TRefresh, Order, Row> {
public:
    using Payload = T;
    static constexpr auto& PayloadFields = Fields;
    static constexpr size_t PayloadSize = Fields.FixedSize(TMessage::Set);
    static_assert(!Fields.HasArray(), "a variable-size Set takes SetEntries");
    static_assert(int32_t(PayloadSize) == GetCommandInfo(Code, Row).requestSize, "the layout has the row's size");

    // The payload as the page built it: PayloadSize bytes, integers in host
    // order. Null clears it.
    void SetPayload(const void* bytes)
    {
        if (bytes) std::memcpy(m_Bytes.data(), bytes, PayloadSize);
        else m_Bytes.fill(0);
    }
    // The same bytes from a typed value.
    void SetPayload(const T& value)
    {
        TPayloadWriter out(m_Bytes.data(), m_Bytes.size());
        Fields.Write(out, value, TMessage::Set, TOrder::Host);
    }
    T GetPayload() const
    {
        return DecodeRecord<T>(m_Bytes.data(), m_Bytes.size(), TMessage::Set, TOrder::Host, Fields);
    }
    const std::array<uint8_t, PayloadSize>& GetPayloadBytes() const { return m_Bytes; }

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& payload) override
    {
        TPayloadReader in(m_Bytes.data(), m_Bytes.size());
        return Fields.Convert(in, payload, TMessage::Set, 0, TOrder::Host, TOrder::Wire);
    }

private:
    std::array<uint8_t, PayloadSize> m_Bytes{};
};

// A Set of a feature's record (TRecord::Fields).
template <uint16_t Code, class TRefresh, class TRecord = typename TRefresh::Record, int Row = 0>
using TSessionRecordSet = TSessionLayoutSet<Code, TRefresh, TRecord, TRecord::Fields, TSetNotify::OwnCodeLast, Row>;

// A variable-size Set of entries in a layout. SetEntries(bytes, n) takes
// them as the page holds them (host order); SetEntries(entries) packs typed
// ones. The row gives the count rule and the zero prefix. An entry that the
// feature record's entry check refuses on the target's model is not sent.
template <uint16_t Code, class TRefresh, class TEntry, const auto& EntryFields, int Row = 0>
class TSessionEntriesSet : public TSessionVariableSet<Code, TRefresh, Row> {
    static_assert(EntryFields.FixedSize(TMessage::Set) == GetCommandInfo(Code, Row).entrySize,
                  "the layout has the row's entry size");

public:
    using Entry = TEntry;
    static constexpr auto& EntryLayout = EntryFields;
    using TSessionVariableSet<Code, TRefresh, Row>::SetEntries;
    void SetEntries(const std::vector<TEntry>& entries)
    {
        std::vector<uint8_t> bytes = EncodeEntries(EntryFields, entries, TOrder::Host);
        SetEntries(bytes.data(), int(entries.size()));
    }
    std::vector<TEntry> GetEntries() const
    {
        return DecodeEntries<TEntry>(EntryFields, this->m_Entries.data(), this->m_Entries.size(), TOrder::Host);
    }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        for (const TEntry& entry : GetEntries())
            if (CheckEntryOf<typename TRefresh::Record>(ModelOf(device), entry) != ssOk) return false;
        payload.Zero(this->m_Info.prefixSize);
        TPayloadReader in(this->m_Entries.data(), this->m_Entries.size());
        for (int i = 0; i < this->m_Count; ++i)
            EntryFields.Convert(in, payload, TMessage::Set, 0, TOrder::Host, TOrder::Wire);
        return in.Ok() && payload.Ok();
    }
};

// A variable-size Set of a whole record: its fixed fields, then its array
// (as many elements as the row's count rule allows on the target's model).
// SetEntries(bytes, n) takes the bytes as the page holds them (host order,
// fixed fields included); SetPayload(record) packs a typed one, its array as
// long as it is (held elements where the array counts them);
// SetEntries(elements) packs the elements after zero fixed fields. An element
// that the record's entry check refuses on the target's model is not sent.
template <uint16_t Code, class TRefresh, class TRecord = typename TRefresh::Record, int Row = 0>
class TSessionRecordArraySet : public TSessionVariableSet<Code, TRefresh, Row> {
    static_assert(TRecord::Fields.FixedSize(TMessage::Set) == GetCommandInfo(Code, Row).prefixSize,
                  "the fixed fields are the row's prefix");
    static_assert(TRecord::Fields.ElementSize(TMessage::Set) == GetCommandInfo(Code, Row).entrySize,
                  "an array element is the row's entry");
    static_assert(TRecord::Fields.ArrayKind() == GetCommandInfo(Code, Row).countKind, "the array has the row's rule");

public:
    using Payload = TRecord;
    static constexpr auto& PayloadFields = TRecord::Fields;
    using TSessionVariableSet<Code, TRefresh, Row>::SetEntries;

    void SetPayload(const TRecord& record)
    {
        std::vector<uint8_t> bytes = EncodeRecord(record, TMessage::Set, TOrder::Host);
        SetEntries(bytes.data(), int(PayloadFields.ArrayLength(record)));
    }
    template <class E> void SetEntries(const std::vector<E>& elements)
    {
        TRecord record{};
        PayloadFields.AssignArray(record, elements);
        SetPayload(record);
    }
    TRecord GetPayload() const
    {
        return DecodeRecord<TRecord>(this->m_Entries.data(), this->m_Entries.size(), TMessage::Set, TOrder::Host);
    }
    size_t HeldSize(int count) const override { return PayloadFields.Size(TMessage::Set, size_t(count)); }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        if (this->m_Entries.size() != payload.Size()) return false;
        if (PayloadFields.CheckEntries(GetPayload(), ModelOf(device)) != ssOk) return false;
        TPayloadReader in(this->m_Entries.data(), this->m_Entries.size());
        return PayloadFields.Convert(in, payload, TMessage::Set, size_t(this->m_Count), TOrder::Host, TOrder::Wire);
    }
};

// A paged table whose entries are TRecord::EntryFields. TRecord names
// PageEntries (a page of that many entries or more means more follow) and
// may name PrefixSize (the bytes before the entries, 4 by default).
template <uint16_t Code, class TRecord, int Row = 0>
class TSessionTableGet : public TSessionPagedGet<Code, TRecord, Row> {
    static constexpr size_t Prefix()
    {
        if constexpr (requires { TRecord::PrefixSize; }) return TRecord::PrefixSize;
        else return 4;
    }

public:
    using Entry = typename TSessionPagedGet<Code, TRecord, Row>::Entry;
    static constexpr size_t EntrySize = TRecord::EntryFields.FixedSize(TMessage::Get);
    static constexpr size_t PageEntries = TRecord::PageEntries;
    static constexpr size_t PrefixSize = Prefix();

    TSessionTableGet() : TSessionPagedGet<Code, TRecord, Row>(EntrySize, PageEntries, PrefixSize) {}

protected:
    uint16_t DecodeEntry(TDevice* device, Entry& entry, TPayloadReader& in) override
    {
        TRecord::EntryFields.Read(in, entry, TMessage::Get);
        return CheckEntry(device, entry);
    }
    // ssOk, or the status that rejects the table; default: the record's
    // entry check.
    virtual uint16_t CheckEntry(TDevice* device, const Entry& entry)
    {
        return CheckEntryOf<TRecord>(ModelOf(device), entry);
    }
};

// The Add, Edit or Del of one entry of a table read by TTable (a
// TSessionTableGet): the entry in its table layout, then a fresh read of the
// table. An entry that the table's entry check refuses on the target's model
// is not sent. Order NotifyGetFirst: the outcome is told under the table's
// Get code before the read starts.
template <uint16_t Code, class TTable, TSetNotify Order = TSetNotify::OwnCodeLast, int Row = 0>
class TSessionEntrySet
    : public TSessionLayoutSet<Code, TTable, typename TTable::Entry, TTable::Record::EntryFields, Order, Row> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        if (CheckEntryOf<typename TTable::Record>(ModelOf(device), this->GetPayload()) != ssOk) return false;
        return TSessionLayoutSet<Code, TTable, typename TTable::Entry, TTable::Record::EntryFields, Order,
                                 Row>::BuildPayload(device, payload);
    }
};

} // namespace Intp

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
// fields), Ip (an IPv4 address, u32), Mac, Bytes (a std::array<uint8_t, N>),
// Text (fixed width, NUL-padded), Skip (bytes not read, zero when written),
// and Array / TextArray (one element per unit of a model count, last in the
// layout). GetOnly(field) and SetOnly(field) mark a field that only the Get
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
#include "intp/Payload.h"
#include "intp/Session.h"

namespace Intp {

// Which message of a feature a layout describes.
enum class TMessage : uint8_t { Get, Set };
// The byte order of the integers.
enum class TOrder : uint8_t { Wire, Host };

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

struct TTextCodec : TRawCodec {
    void Read(TPayloadReader& in, std::string& v, TOrder) const { v = in.Text(width); }
    void Write(TPayloadWriter& out, const std::string& v, TOrder) const { out.Text(v, width); }
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

// A member of a record (C, or a record derived from C).
template <class C, class M, class Codec>
struct TMemberField {
    M C::*member;
    Codec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R& r, TOrder order, size_t) const
    {
        codec.Read(in, static_cast<C&>(r).*member, order);
    }
    template <class R> void Write(TPayloadWriter& out, const R& r, TOrder order) const
    {
        codec.Write(out, static_cast<const C&>(r).*member, order);
    }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to, size_t) const
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
    template <class R> void Read(TPayloadReader& in, R& r, TOrder order, size_t) const { codec.Read(in, r, order); }
    template <class R> void Write(TPayloadWriter& out, const R& r, TOrder order) const { codec.Write(out, r, order); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to, size_t) const
    {
        codec.Convert(in, out, from, to);
    }
};

struct TSkipField {
    TRawCodec codec;
    TOnly only = onBoth;

    static constexpr bool IsArray = false;
    constexpr size_t Size() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R&, TOrder, size_t) const { in.Skip(codec.width); }
    template <class R> void Write(TPayloadWriter& out, const R&, TOrder) const { out.Zero(codec.width); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to, size_t) const
    {
        codec.Convert(in, out, from, to);
    }
};

// One element per unit of a model count; always the last field.
template <class C, class E, class Codec>
struct TArrayField {
    std::vector<E> C::*member;
    Codec codec;
    TCountKind count;
    TOnly only = onBoth;

    static constexpr bool IsArray = true;
    constexpr size_t Size() const { return 0; }
    constexpr size_t ElementSize() const { return codec.Size(); }
    template <class R> void Read(TPayloadReader& in, R& r, TOrder order, size_t n) const
    {
        std::vector<E>& v = static_cast<C&>(r).*member;
        v.assign(n, E{});
        for (E& e : v) codec.Read(in, e, order);
    }
    template <class R> void Write(TPayloadWriter& out, const R& r, TOrder order) const
    {
        for (const E& e : static_cast<const C&>(r).*member) codec.Write(out, e, order);
    }
    template <class R> size_t ElementCount(const R& r) const { return (static_cast<const C&>(r).*member).size(); }
    template <class R> void Resize(R& r, size_t n) const { (static_cast<C&>(r).*member).resize(n); }
    void Convert(TPayloadReader& in, TPayloadWriter& out, TOrder from, TOrder to, size_t n) const
    {
        for (size_t i = 0; i < n; ++i) codec.Convert(in, out, from, to);
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
    // Bytes of one array element; 0 without an array.
    constexpr size_t ElementSize() const
    {
        size_t size = 0;
        std::apply([&size](const auto&... f) { ((size += ArrayElementSize(f)), ...); }, m_Fields);
        return size;
    }
    constexpr bool HasArray() const { return ArrayCount() != 0; }
    // The model count that sizes the array.
    constexpr TCountKind ArrayKind() const
    {
        TCountKind kind = TCountKind::ckNone;
        std::apply([&kind](const auto&... f) { ((kind = ArrayKindOf(f, kind)), ...); }, m_Fields);
        return kind;
    }
    // Bytes of the message with n array elements.
    constexpr size_t Size(TMessage wire, size_t n = 0) const { return FixedSize(wire) + ElementSize() * n; }
    // Whole array elements that size bytes hold (0 without an array).
    constexpr size_t ElementsIn(TMessage wire, size_t size) const
    {
        size_t fixed = FixedSize(wire);
        return HasArray() && size > fixed ? (size - fixed) / ElementSize() : 0;
    }
    // Bytes of r's message, its array as long as it is.
    template <class R> size_t SizeOf(const R& r, TMessage wire) const
    {
        size_t n = 0;
        std::apply([&](const auto&... f) { ((n += ArrayLength(f, r)), ...); }, m_Fields);
        return Size(wire, n);
    }

    // Bytes of the text field of member m, or of each text of its text
    // array; 0 when no text field has that member.
    template <class M> constexpr size_t TextWidth(M m) const
    {
        size_t width = 0;
        std::apply([&](const auto&... f) { ((width = TextWidthOf(f, m, width)), ...); }, m_Fields);
        return width;
    }

    // Gives r's array n elements.
    template <class R> void ResizeArray(R& r, size_t n) const
    {
        std::apply([&](const auto&... f) { (ResizeArrayOf(f, r, n), ...); }, m_Fields);
    }

    // Reads the fields r carries in this message; the array takes n elements.
    // False when the bytes ran out.
    template <class R>
    bool Read(TPayloadReader& in, R& r, TMessage wire, size_t n = 0, TOrder order = TOrder::Wire) const
    {
        std::apply(
            [&](const auto&... f) { ((RecordDetail::Carried(f.only, wire) ? f.Read(in, r, order, n) : void()), ...); },
            m_Fields);
        return in.Ok();
    }
    template <class R> bool Write(TPayloadWriter& out, const R& r, TMessage wire, TOrder order = TOrder::Wire) const
    {
        std::apply(
            [&](const auto&... f) { ((RecordDetail::Carried(f.only, wire) ? f.Write(out, r, order) : void()), ...); },
            m_Fields);
        return out.Ok();
    }
    // Copies a message from one byte order to the other.
    bool Convert(TPayloadReader& in, TPayloadWriter& out, TMessage wire, size_t n, TOrder from, TOrder to) const
    {
        std::apply(
            [&](const auto&... f) {
                ((RecordDetail::Carried(f.only, wire) ? f.Convert(in, out, from, to, n) : void()), ...);
            },
            m_Fields);
        return in.Ok() && out.Ok();
    }

private:
    template <class G, class M> static constexpr size_t TextWidthOf(const G& f, M m, size_t width)
    {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(f.codec)>, RecordDetail::TTextCodec> &&
                      requires { f.member == m; })
            return f.member == m ? f.codec.width : width;
        else
            return width;
    }
    static constexpr size_t ArrayCount() { return (size_t(F::IsArray) + ... + 0); }
    template <class G> static constexpr size_t ArrayElementSize(const G& f)
    {
        if constexpr (G::IsArray) return f.ElementSize();
        else return 0;
    }
    template <class G> static constexpr TCountKind ArrayKindOf(const G& f, TCountKind kind)
    {
        if constexpr (G::IsArray) return f.count;
        else return kind;
    }
    template <class G, class R> static void ResizeArrayOf(const G& f, R& r, size_t n)
    {
        if constexpr (G::IsArray) f.Resize(r, n);
    }
    template <class G, class R> static size_t ArrayLength(const G& f, const R& r)
    {
        if constexpr (G::IsArray) return f.ElementCount(r);
        else return 0;
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
constexpr auto Skip(size_t n) { return RecordDetail::TSkipField{{n}}; }
// Makers without a member describe a value that is the whole entry or one
// array element.
constexpr auto U8() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<1>>{}; }
constexpr auto U16() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<2>>{}; }
constexpr auto U32() { return RecordDetail::TSelfField<RecordDetail::TIntCodec<4>>{}; }
constexpr auto Text(size_t width) { return RecordDetail::TSelfField<RecordDetail::TTextCodec>{{{width}}}; }
// One element (a value field such as U32() or Text(8)) per unit of a model
// count.
template <class C, class E, class Codec>
constexpr auto Array(std::vector<E> C::*m, RecordDetail::TSelfField<Codec> element, TCountKind count)
{
    return RecordDetail::TArrayField<C, E, Codec>{m, element.codec, count};
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
std::vector<uint8_t> EncodeEntries(const L& fields, const std::vector<E>& entries, TOrder order = TOrder::Wire)
{
    std::vector<uint8_t> bytes(fields.FixedSize(TMessage::Set) * entries.size());
    TPayloadWriter out(bytes.data(), bytes.size());
    for (const E& e : entries) fields.Write(out, e, TMessage::Set, order);
    return bytes;
}
template <class E, class L>
std::vector<E> DecodeEntries(const L& fields, const void* data, size_t size, TOrder order = TOrder::Wire)
{
    size_t entrySize = fields.FixedSize(TMessage::Set);
    std::vector<E> entries(entrySize ? size / entrySize : 0);
    TPayloadReader in(data, size);
    for (E& e : entries) fields.Read(in, e, TMessage::Set, 0, order);
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
// that count must be the device model's and not 0, else CountStatusOf<R>().
template <class R, class L>
uint16_t DecodeReply(TDevice* device, const L& fields, R& record, TPayloadReader& payload)
{
    size_t n = 0;
    if (fields.HasArray()) {
        n = fields.ElementsIn(TMessage::Get, payload.Size());
        if (payload.Size() < fields.FixedSize(TMessage::Get) || n == 0 || n != ModelCount(fields.ArrayKind(), device))
            return CountStatusOf<R>();
    }
    return fields.Read(payload, record, TMessage::Get, n) ? ssOk : ssBadReply;
}

// A Get whose reply is its record's layout. Override Check for the family's
// value checks.
template <uint16_t Code, class TRecord, int Row = 0>
class TSessionRecordGet : public TSessionGet<Code, TRecord, Row> {
    static_assert(TRecord::Fields.FixedSize(TMessage::Get) <= GetCommandInfo(Code, Row).minReply,
                  "the common reply check lets no reply shorter than the layout through");

protected:
    uint16_t Decode(TDevice* device, TRecord& record, TPayloadReader& payload) override
    {
        uint16_t status = DecodeReply(device, TRecord::Fields, record, payload);
        return status == ssOk ? Check(device, record) : status;
    }
    // ssOk, or the status that rejects the decoded record.
    virtual uint16_t Check(TDevice*, const TRecord&) { return ssOk; }
};

// A Set that sends one message of a layout. It holds the payload as the page
// built it (host order) and converts only its integers when it sends.
template <uint16_t Code, class TRefresh, class T, const auto& Fields, int Row = 0>
class TSessionLayoutSet : public TSessionSet<Code, TRefresh, Row> {
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
using TSessionRecordSet = TSessionLayoutSet<Code, TRefresh, TRecord, TRecord::Fields, Row>;

// A variable-size Set of entries in a layout. SetEntries(bytes, n) takes
// them as the page holds them (host order); SetEntries(entries) packs typed
// ones. The row gives the count rule and the zero prefix.
template <uint16_t Code, class TRefresh, class TEntry, const auto& EntryFields, int Row = 0>
class TSessionEntriesSet : public TSessionVariableSet<Code, TRefresh, Row> {
    static_assert(EntryFields.FixedSize(TMessage::Set) == GetCommandInfo(Code, Row).entrySize,
                  "the layout has the row's entry size");

public:
    using Entry = TEntry;
    using TSessionVariableSet<Code, TRefresh, Row>::SetEntries;
    void SetEntries(const std::vector<TEntry>& entries)
    {
        std::vector<uint8_t> bytes = EncodeEntries(EntryFields, entries, TOrder::Host);
        SetEntries(bytes.data(), int(entries.size()));
    }

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& payload) override
    {
        payload.Zero(this->m_Info.prefixSize);
        TPayloadReader in(this->m_Entries.data(), this->m_Entries.size());
        for (int i = 0; i < this->m_Count; ++i)
            EntryFields.Convert(in, payload, TMessage::Set, 0, TOrder::Host, TOrder::Wire);
        return in.Ok() && payload.Ok();
    }
};

// A variable-size Set of a whole record: its fixed fields, then its array
// (one element per unit of the model count). SetEntries(bytes, n) takes the
// bytes as the page holds them (host order); SetPayload(record) packs a
// typed one, its array as long as it is.
template <uint16_t Code, class TRefresh, class TRecord = typename TRefresh::Record, int Row = 0>
class TSessionRecordArraySet : public TSessionVariableSet<Code, TRefresh, Row> {
    static_assert(TRecord::Fields.FixedSize(TMessage::Set) == GetCommandInfo(Code, Row).prefixSize,
                  "the fixed fields are the row's prefix");
    static_assert(TRecord::Fields.ElementSize() == GetCommandInfo(Code, Row).entrySize,
                  "an array element is the row's entry");

public:
    using Payload = TRecord;
    static constexpr auto& PayloadFields = TRecord::Fields;
    using TSessionVariableSet<Code, TRefresh, Row>::SetEntries;

    void SetPayload(const TRecord& record)
    {
        std::vector<uint8_t> bytes = EncodeRecord(record, TMessage::Set, TOrder::Host);
        SetEntries(bytes.data(), int(PayloadFields.ElementsIn(TMessage::Set, bytes.size())));
    }
    size_t HeldSize(int count) const override { return PayloadFields.Size(TMessage::Set, size_t(count)); }

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& payload) override
    {
        if (this->m_Entries.size() != payload.Size()) return false;
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
    // ssOk, or the status that rejects the table.
    virtual uint16_t CheckEntry(TDevice*, const Entry&) { return ssOk; }
};

// The Add or Del of one entry of a table read by TTable (a TSessionTableGet):
// the entry in its table layout, then a fresh read of the table.
template <uint16_t Code, class TTable, int Row = 0>
using TSessionEntrySet =
    TSessionLayoutSet<Code, TTable, typename TTable::Entry, TTable::Record::EntryFields, Row>;

} // namespace Intp

// The layouts of field-described records (see intp/Record.h): TLayout, the
// field makers of namespace Wire, and whole records and entry lists as bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "intp/RecordCodecs.h"

namespace Intp {

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

} // namespace Intp

// The Get and Set templates of field-described records (see intp/Record.h):
// requests whose payload is a record's layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Payload.h"
#include "intp/RecordLayout.h"
#include "intp/Session.h"

namespace Intp {

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

// Handlers of features declared from their records, so that a new family
// costs the fake switch one declaration:
//
//     AddFeature<Intp::TSessionWarningFaultGet, Intp::TSessionWarningFaultSet>(table);
//     AddTable<Intp::TSessionSecurityMacGet>(table, {Intp::ccSecurityMacAdd, Intp::ccSecurityMacDel});
//
// A feature's Get answers the stored record and its Set stores what it
// carries; a table's Get answers its entries page by page, Add appends an
// entry whose key is new, Del removes the entry with the key, Clear empties
// the table. Records and tables live in TConfig, so save, reboot and factory
// default treat them like every other setting.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>

#include "tests/fakeswitch/FakeSwitch.h"

namespace FakeSwitch {

inline TReply Ok(TBytes payload = TBytes(4, 0))
{
    return {StatusOk, std::move(payload), {}};
}

inline TReply Refused()
{
    return {StatusRefused, {}, {}};
}

// What sets a feature apart; every rule is optional.
template <class R> struct TFeatureRules {
    // The record of a new switch (default: empty, arrays sized by the model).
    std::function<R(const TSwitchSettings &)> Initial{};
    // Whether the switch takes a Set's record; a refused Set changes nothing.
    std::function<bool(const R &)> Accept{};
    // What the switch fills in at each answer (its clock).
    std::function<void(R &)> Live{};
};

// The layout a Set carries: its own, or, for a Set of entries, its feature's record.
template <class TSet, class R> constexpr const auto &SetFieldsOf()
{
    if constexpr (requires { TSet::PayloadFields; })
        return TSet::PayloadFields;
    else
        return R::Fields;
}

template <class TGet, class TSet = void>
void AddFeature(THandlerTable &table, TFeatureRules<typename TGet::Record> rules = {})
{
    using R = typename TGet::Record;

    THandlerEntry get;
    get.ErrorReplySize = TGet::Info.minReply;
    get.RequestSize = size_t(TGet::Info.requestSize);
    get.Initial = [initial = rules.Initial](const TSwitchSettings &settings, TConfig &config) {
        if (config.Records.count(TGet::CommandCode))
            return;
        R record{};
        if (initial)
            record = initial(settings);
        else
            R::Fields.ResizeArray(record, Intp::ModelCount(R::Fields.ArrayKind(), settings.Model));
        SetRecord<TGet>(config, record);
    };
    get.Handler = [live = rules.Live](TSwitch &sw, const TRequest &) {
        R record = RecordOf<TGet>(sw);
        if (live)
            live(record);
        return Ok(Intp::EncodeRecord(record, Intp::TMessage::Get));
    };
    table[TGet::CommandCode] = std::move(get);

    if constexpr (!std::is_void_v<TSet>) {
        constexpr auto &fields = SetFieldsOf<TSet, R>();
        THandlerEntry set;
        set.NeedsLogin = true;
        set.RequestSize = fields.HasArray() ? AnySize : fields.FixedSize(Intp::TMessage::Set);
        set.Handler = [accept = rules.Accept](TSwitch &sw, const TRequest &request) {
            if (fields.HasArray()) {
                size_t n = Intp::ModelCount(fields.ArrayKind(), sw.Settings.Model);
                if (n == 0 || request.PayloadSize != fields.Size(Intp::TMessage::Set, n))
                    return Refused();
            }
            R record;
            if constexpr (requires { TSet::PayloadFields; })
                record = Intp::DecodePayload<TSet>(request.Payload, request.PayloadSize);
            else
                record = Intp::DecodeRecord<R>(request.Payload, request.PayloadSize);
            if (accept && !accept(record))
                return Refused();
            SetRecord<TGet>(sw.Running, record);
            return Ok();
        };
        table[TSet::CommandCode] = std::move(set);
    }
}

// The commands that change a table; 0 for one the table does not have.
// Entries are told apart by their bytes from KeyOffset on; a Del carries
// either a whole entry or the key alone.
struct TTableCommands {
    uint16_t Add = 0;
    uint16_t Del = 0;
    uint16_t Clear = 0;
    size_t KeyOffset = 0;
};

template <class TGet>
void AddTable(THandlerTable &table, TTableCommands commands)
{
    constexpr size_t entrySize = TGet::EntrySize;
    const size_t keyOffset = commands.KeyOffset, keySize = entrySize - keyOffset;
    auto sameKey = [keyOffset, keySize](const TBytes &entry, const uint8_t *key) {
        return std::memcmp(entry.data() + keyOffset, key, keySize) == 0;
    };

    table[TGet::CommandCode] = THandlerEntry{
        [](TSwitch &sw, const TRequest &) {
            const std::vector<TBytes> &entries = sw.Running.Tables[TGet::CommandCode];
            TReply reply = Ok();
            // Full pages, then one short page (empty when the last one was
            // full); a table without pages is one reply.
            constexpr size_t pageEntries = TGet::PageEntries ? TGet::PageEntries : SIZE_MAX;
            for (size_t first = 0;; first += pageEntries) {
                TBytes page(TGet::PrefixSize, 0);
                size_t end = entries.size() - first < pageEntries ? entries.size() : first + pageEntries;
                for (size_t i = first; i < end; ++i)
                    page.insert(page.end(), entries[i].begin(), entries[i].end());
                if constexpr (requires { TGet::Record::TrailerSize; })
                    page.resize(page.size() + TGet::Record::TrailerSize);
                // An empty table still answers the smallest reply the command has.
                page.resize(std::max(page.size(), size_t(TGet::Info.minReply)));
                if (first == 0)
                    reply.Payload = std::move(page);
                else
                    reply.FollowUps.push_back(std::move(page));
                if (end - first < pageEntries)
                    break;
            }
            return reply;
        },
        false, TGet::PrefixSize, size_t(TGet::Info.requestSize)};

    if (commands.Add) {
        table[commands.Add] = THandlerEntry{
            [sameKey, keyOffset](TSwitch &sw, const TRequest &request) {
                std::vector<TBytes> &entries = sw.Running.Tables[TGet::CommandCode];
                const uint8_t *key = request.Payload + keyOffset;
                if (std::any_of(entries.begin(), entries.end(), [&](const TBytes &e) { return sameKey(e, key); }))
                    return Refused();
                entries.emplace_back(request.Payload, request.Payload + entrySize);
                return Ok();
            },
            true, 4, entrySize};
    }
    if (commands.Del) {
        table[commands.Del] = THandlerEntry{
            [sameKey, keyOffset, keySize](TSwitch &sw, const TRequest &request) {
                std::vector<TBytes> &entries = sw.Running.Tables[TGet::CommandCode];
                const uint8_t *key = request.Payload + (request.PayloadSize == keySize ? 0 : keyOffset);
                auto it =
                    std::find_if(entries.begin(), entries.end(), [&](const TBytes &e) { return sameKey(e, key); });
                if (it == entries.end())
                    return Refused();
                entries.erase(it);
                return Ok();
            },
            true, 4, size_t(Intp::GetCommandInfo(commands.Del).requestSize)};
    }
    if (commands.Clear) {
        table[commands.Clear] = THandlerEntry{[](TSwitch &sw, const TRequest &) {
                                                  sw.Running.Tables[TGet::CommandCode].clear();
                                                  return Ok();
                                              },
                                              true, 4, 4};
    }
}

} // namespace FakeSwitch

// Handlers of features declared from their records, so that a new family
// costs the fake switch one declaration:
//
//     AddFeature<Intp::TSessionWarningFaultGet, Intp::TSessionWarningFaultSet>(table);
//     AddTable<Intp::TSessionSecurityMacGet>(table, {.Add = Intp::ccSecurityMacAdd, .Del = Intp::ccSecurityMacDel});
//
// A feature's Get answers the stored record and its Set stores what it
// carries (or changes the record by its edit rule); a table's Get answers its
// entries page by page, Add, Edit, Del and Clear change single entries or
// empty it, and a Set that edits the table in place is declared with its edit
// rule (AddTableSet). Records and tables live in TConfig, so save, reboot and
// factory default treat them like every other setting; tests read and write
// them typed (RecordOf, SetRecord, TableOf, SetTable).
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
    // (A Set whose entries fail the record's entry check is refused first.)
    std::function<bool(const R &)> Accept{};
    // How an accepted Set changes the stored record (default: replaces it).
    std::function<void(R &stored, const R &sent)> Edit{};
    // What the switch fills in at each answer (its clock).
    std::function<void(R &)> Live{};
    // What else an accepted Set changes on the switch (a feature it excludes).
    std::function<void(TSwitch &, const R &stored)> After{};
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
    get.FixedSize = R::Fields.FixedSize(Intp::TMessage::Get);
    get.ElementSize = R::Fields.ElementSize(Intp::TMessage::Get);
    get.Decoded = [](const TBytes &bytes) {
        return Intp::EncodeRecord(Intp::DecodeRecord<R>(bytes.data(), bytes.size(), Intp::TMessage::Get),
                                  Intp::TMessage::Get);
    };
    table[TGet::CommandCode] = std::move(get);

    if constexpr (!std::is_void_v<TSet>) {
        constexpr auto &fields = SetFieldsOf<TSet, R>();
        THandlerEntry set;
        set.NeedsLogin = true;
        set.RequestSize = fields.HasArray() ? AnySize : fields.FixedSize(Intp::TMessage::Set);
        set.Handler = [accept = rules.Accept, edit = rules.Edit, after = rules.After](TSwitch &sw,
                                                                                     const TRequest &request) {
            const Intp::TDeviceType &model = sw.Settings.Model;
            if (fields.HasArray()) {
                size_t n = fields.ElementsIn(Intp::TMessage::Set, request.PayloadSize);
                if (!Intp::CheckCount(fields.ArrayKind(), model, n) ||
                    request.PayloadSize != fields.Size(Intp::TMessage::Set, n))
                    return Refused();
            }
            R record;
            if constexpr (requires { TSet::PayloadFields; })
                record = Intp::DecodePayload<TSet>(request.Payload, request.PayloadSize);
            else
                record = Intp::DecodeRecord<R>(request.Payload, request.PayloadSize);
            if (fields.CheckEntries(record, model) != Intp::ssOk || (accept && !accept(record)))
                return Refused();
            R stored = RecordOf<TGet>(sw);
            if (edit)
                edit(stored, record);
            else
                stored = record;
            SetRecord<TGet>(sw.Running, stored);
            if (after && !sw.Settings.Apart)
                after(sw, stored);
            return Ok();
        };
        table[TSet::CommandCode] = std::move(set);
    }
}

// The commands that change a table; 0 for one the table does not have.
// Entries are told apart by their key, KeySize bytes from KeyOffset (0: to
// the end of the entry). Add appends an entry whose key is new, Edit
// replaces the entry with its key, Del removes it (carrying a whole entry or
// the key alone), Clear empties the table.
struct TTableCommands {
    uint16_t Add = 0;
    uint16_t Edit = 0;
    uint16_t Del = 0;
    uint16_t Clear = 0;
    size_t KeyOffset = 0;
    size_t KeySize = 0;
};

template <class E> struct TTableRules {
    // The entries of a new switch (default: none).
    std::function<std::vector<E>(const TSwitchSettings &)> Initial{};
    // Whether the switch takes an added or edited entry that passed the
    // table's entry check.
    std::function<bool(const E &)> Accept{};
};

template <class TGet>
void AddTable(THandlerTable &table, TTableCommands commands, TTableRules<typename TGet::Entry> rules = {})
{
    using E = typename TGet::Entry;
    constexpr size_t entrySize = TGet::EntrySize;
    const size_t keyOffset = commands.KeyOffset;
    const size_t keySize = commands.KeySize ? commands.KeySize : entrySize - keyOffset;
    auto sameKey = [keyOffset, keySize](const TBytes &entry, const uint8_t *key) {
        return std::memcmp(entry.data() + keyOffset, key, keySize) == 0;
    };
    // A request's entry, typed, if the table's entry check and the rule take it.
    auto accepted = [accept = rules.Accept](const TSwitch &sw, const TRequest &request) {
        E entry = Intp::DecodeEntries<E>(TGet::Record::EntryFields, request.Payload, entrySize, Intp::TOrder::Wire,
                                         Intp::TMessage::Get)
                      .at(0);
        return Intp::CheckEntryOf<typename TGet::Record>(sw.Settings.Model, entry) == Intp::ssOk &&
               (!accept || accept(entry));
    };

    THandlerEntry get{
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
    get.PrefixSize = TGet::PrefixSize;
    get.EntrySize = entrySize;
    get.KeyOffset = keyOffset;
    get.KeySize = keySize;
    get.Decoded = [](const TBytes &bytes) {
        constexpr auto &fields = TGet::Record::EntryFields;
        return Intp::EncodeEntries(fields,
                                   Intp::DecodeEntries<E>(fields, bytes.data(), bytes.size(), Intp::TOrder::Wire,
                                                          Intp::TMessage::Get),
                                   Intp::TOrder::Wire, Intp::TMessage::Get);
    };
    get.PageEntries = TGet::PageEntries ? TGet::PageEntries : SIZE_MAX;
    if constexpr (requires { TGet::Record::TrailerSize; })
        get.TrailerSize = TGet::Record::TrailerSize;
    if (rules.Initial)
        get.Initial = [initial = rules.Initial](const TSwitchSettings &settings, TConfig &config) {
            if (!config.Tables.count(TGet::CommandCode))
                SetTable<TGet>(config, initial(settings));
        };
    table[TGet::CommandCode] = std::move(get);

    if (commands.Add) {
        table[commands.Add] = THandlerEntry{
            [sameKey, keyOffset, accepted](TSwitch &sw, const TRequest &request) {
                std::vector<TBytes> &entries = sw.Running.Tables[TGet::CommandCode];
                const uint8_t *key = request.Payload + keyOffset;
                if (!accepted(sw, request) ||
                    std::any_of(entries.begin(), entries.end(), [&](const TBytes &e) { return sameKey(e, key); }))
                    return Refused();
                entries.emplace_back(request.Payload, request.Payload + entrySize);
                return Ok();
            },
            true, 4, entrySize};
    }
    if (commands.Edit) {
        table[commands.Edit] = THandlerEntry{
            [sameKey, keyOffset, accepted](TSwitch &sw, const TRequest &request) {
                std::vector<TBytes> &entries = sw.Running.Tables[TGet::CommandCode];
                const uint8_t *key = request.Payload + keyOffset;
                auto it =
                    std::find_if(entries.begin(), entries.end(), [&](const TBytes &e) { return sameKey(e, key); });
                if (it == entries.end() || !accepted(sw, request))
                    return Refused();
                it->assign(request.Payload, request.Payload + entrySize);
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

// A Set that edits a table in place, declared by its edit rule:
// rule(switch, entries, payload) changes the table's entries and answers
// whether the switch takes the Set (false leaves the table as it was).
// payload is the Set's typed payload, or the request itself for a rule that
// takes a TRequest.
template <class TGet, class TSet, class Rule> void AddTableSet(THandlerTable &table, Rule rule)
{
    using E = typename TGet::Entry;
    THandlerEntry set;
    set.NeedsLogin = true;
    set.RequestSize = TSet::Info.requestSize == Intp::VariableSize ? AnySize : size_t(TSet::Info.requestSize);
    set.Handler = [rule](TSwitch &sw, const TRequest &request) {
        std::vector<E> entries = TableOf<TGet>(sw);
        bool taken;
        if constexpr (std::is_invocable_r_v<bool, Rule, const TSwitch &, std::vector<E> &, const TRequest &>)
            taken = rule(sw, entries, request);
        else
            taken = rule(sw, entries, Intp::DecodePayload<TSet>(request.Payload, request.PayloadSize));
        if (!taken)
            return Refused();
        SetTable<TGet>(sw.Running, entries);
        return Ok();
    };
    table[TSet::CommandCode] = std::move(set);
}

} // namespace FakeSwitch

#pragma once

// Per-port data a page made for the ports it shows, sent to a switch with
// more: the switch keeps its own values of the ports beyond, taken from its
// own latest read of the record when that read succeeded; otherwise it is named and sent
// nothing. Nothing it has on a port the page does not show is cleared.

#include "intp/Device.h"
#include "intp/Property.h"
#include "pages/kit/ModulePage.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace PortMerge {

// The ports of device a 32-bit mask covers: its first 32 at most.
int MaskSpan(const Intp::TDevice* device);
// Bits from to to - 1 of a 32-bit port mask (bit n = port index n).
std::uint32_t Bits(int from, int to);
// The target's ports of a 32-bit mask that data made for shown ports
// does not cover.
std::uint32_t Beyond(const Intp::TDevice* target, int shown);
// Why the target's own values of the ports in keep can't be kept: they
// were not read (empty when keep is 0 or ownRead).
QString NotReadWhy(std::uint32_t keep, bool ownRead);
QString NotReadWhy(int from, int to);
// Why target can't take a mask naming those ports: it lacks the highest.
QString LacksWhy(const Intp::TDevice* target, std::uint32_t ports);
// Why own values of those ports can't be kept by a change that would clear them.
QString HeldWhy(std::uint32_t ports);
// sent with own's bits in keep.
inline std::uint32_t Keep(std::uint32_t sent, std::uint32_t own, std::uint32_t keep)
{
    return (sent & ~keep) | (own & keep);
}

// Masks of sent made for shown ports, completed with the target's own
// record R beyond them; why the target can't take them, or empty.
// Bits in keep of masks of sent taken from the target's own latest read
// of R; false when that read can't be used (nothing is kept then).
template <class R>
bool KeepBits(Intp::TDevice* target, std::uint32_t keep, R& sent, std::initializer_list<std::uint32_t R::*> masks)
{
    if (keep == 0)
        return true;
    const R* own = target->LatestRead<R>();
    if (!own)
        return false;
    for (std::uint32_t R::*mask : masks)
        sent.*mask = Keep(sent.*mask, own->*mask, keep);
    return true;
}

template <class R>
QString KeepMasks(Intp::TDevice* target, int shown, R& sent, std::initializer_list<std::uint32_t R::*> masks)
{
    const std::uint32_t keep = Beyond(target, shown);
    return KeepBits(target, keep, sent, masks) ? QString() : NotReadWhy(keep, false);
}

// The same for a target of any port count: one with fewer ports is named
// when a mask names a port it lacks.
template <class R>
QString FitMasks(Intp::TDevice* target, int shown, R& sent, std::initializer_list<std::uint32_t R::*> masks)
{
    std::uint32_t all = 0;
    for (std::uint32_t R::*mask : masks)
        all |= sent.*mask;
    if (QString why = LacksWhy(target, all); !why.isEmpty())
        return why;
    return KeepMasks(target, shown, sent, masks);
}

// Sends record with Set to each target of page, its masks fitted as
// FitMasks does.
template <class Set, class R>
int SendFittingMasks(TModulePage& page, const R& record, int shown, std::initializer_list<std::uint32_t R::*> masks)
{
    return page.SendToEachTarget<Set>([&](Set& request, Intp::TDevice* target) {
        R own = record;
        const QString why = FitMasks(target, shown, own, masks);
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
}

// Entries each with a port mask, made for shown ports, each completed
// with the mask of the target's own entry at the same position in its
// read of R.
template <class R, class E>
QString KeepEntryMasks(Intp::TDevice* target, int shown, std::vector<E>& entries, std::vector<E> R::*list,
                       std::uint32_t E::*mask)
{
    const std::uint32_t keep = Beyond(target, shown);
    if (keep == 0)
        return QString();
    const R* own = target->LatestRead<R>();
    if (!own || (own->*list).size() < entries.size())
        return NotReadWhy(keep, false);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].*mask = Keep(entries[i].*mask, (own->*list)[i].*mask, keep);
    return QString();
}
// Why the target can't take such entries as they are, where its own masks
// can't be kept: its own read holds ports beyond, or was not made.
template <class R, class E>
QString HoldsBeyondWhy(Intp::TDevice* target, int shown, std::vector<E> R::*list, std::uint32_t E::*mask)
{
    const std::uint32_t keep = Beyond(target, shown);
    if (keep == 0)
        return QString();
    const R* own = target->LatestRead<R>();
    if (!own)
        return NotReadWhy(keep, false);
    std::uint32_t held = 0;
    for (const E& entry : own->*list)
        held |= entry.*mask & keep;
    return held ? HeldWhy(held) : QString();
}

// A table entry whose port mask a change replaces: the bits in keep (ports
// the page does not show) come from the target's own entry for which
// same(entry) holds in its read of R; a target whose table holds none keeps
// nothing there, one whose table was not read is named.
template <class R, class E, class Same>
QString KeepEntryBits(Intp::TDevice* target, std::uint32_t keep, E& entry, std::uint32_t E::*mask, Same same)
{
    if (keep == 0)
        return QString();
    const R* own = target->LatestRead<R>();
    if (!own)
        return NotReadWhy(keep, false);
    for (const E& held : own->entries)
        if (same(held))
            entry.*mask = Keep(entry.*mask, held.*mask, keep);
    return QString();
}

// An entry a change names by its key: the target's own entry for which
// same(entry) holds in its latest read of R takes its place; why the target
// has none, or empty.
template <class R, class E, class Same>
QString OwnEntry(Intp::TDevice* target, E& entry, Same same)
{
    const R* own = target->LatestRead<R>();
    if (!own)
        return TModulePage::OwnReadWhy<R>(target, "its own table was not read");
    for (const E& held : own->entries) {
        if (same(held)) {
            entry = held;
            return QString();
        }
    }
    return "it holds no such entry";
}

// A list of sent with one entry per port, made for the ports it holds:
// a target with fewer is named with its counts, one with more takes its
// own entries of the ports beyond from its own read of R, and so do the
// ports of hidden (indexes the page did not show).
template <class R, class T>
QString KeepList(Intp::TDevice* target, R& sent, std::vector<T> R::*list, const std::vector<std::size_t>& hidden = {})
{
    std::vector<T>& entries = sent.*list;
    const std::size_t shown = entries.size(), has = target->GetPortNum();
    if (has < shown)
        return TModulePage::PortCountWhy(target, shown);
    if (has == shown && hidden.empty())
        return QString();
    const R* own = target->LatestRead<R>();
    if (!own || (own->*list).size() < has)
        return has > shown ? NotReadWhy(int(shown), int(has)) : NotReadWhy(int(hidden[0]), int(hidden[0]) + 1);
    for (std::size_t i : hidden)
        if (i < shown)
            entries[i] = (own->*list)[i];
    entries.insert(entries.end(), (own->*list).begin() + std::ptrdiff_t(shown), (own->*list).begin() + std::ptrdiff_t(has));
    return QString();
}

// Sends record, whose list holds one entry per port, with Set to each
// target of page, each completed as KeepList does (a Set of entries alone
// carries the list).
template <class Set, class R, class T>
int SendKeepingList(TModulePage& page, const R& record, std::vector<T> R::*list,
                    const std::vector<std::size_t>& hidden = {})
{
    return page.SendToEachTarget<Set>([&](Set& request, Intp::TDevice* target) {
        R own = record;
        const QString why = KeepList(target, own, list, hidden);
        if (!why.isEmpty())
            return why;
        if constexpr (requires { request.SetPayload(own); })
            request.SetPayload(own);
        else
            request.SetEntries(own.*list);
        return why;
    });
}

} // namespace PortMerge

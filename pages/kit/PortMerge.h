#pragma once

// Per-port data a page made for the ports it shows (the listed ports of a
// TPortLayout of the switch on show): each switch keeps its own values of
// the ports the page does not show, beyond them or hidden as "Port.XX",
// taken from its own latest read of the record when that read succeeded;
// otherwise it is named and sent nothing. Nothing it has on a port the page
// does not show is cleared.

#include "intp/Device.h"
#include "intp/Property.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortLayout.h"

#include <QString>

#include <cstdint>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace PortMerge {

// The ports of device a 32-bit mask covers: its first 32 at most.
int MaskSpan(const Intp::TDevice* device);
// Bits from to to - 1 of a 32-bit port mask (bit n = port index n).
std::uint32_t Bits(int from, int to);
// The port indexes of a 32-bit mask, in order.
std::vector<int> MaskIndexes(std::uint32_t mask);
// The bits of a 32-bit mask that data made on a page showing the listed
// ports of shown does not cover: those beyond its indexes, and those it
// does not list.
std::uint32_t NotShown(const TPortLayout& shown);
// Why target's own page lacks one of ports (indexes, as the wire numbers
// them): its port names name it "Port.XX". A port beyond its count is
// another rule's; names not valid hide no port. Empty when it lists them
// all.
QString UnlistedWhy(const Intp::TDevice* target, const std::vector<int>& ports);
// The same for the ports shown lists, when it hides ports by their names.
QString UnlistedWhy(const Intp::TDevice* target, const TPortLayout& shown);
// Why the target's own values of the ports in keep can't be kept: they
// were not read (empty when keep is 0 or ownRead).
QString NotReadWhy(std::uint32_t keep, bool ownRead);
QString NotReadWhy(int from, int to);
// Why target can't take a mask naming those ports: it lacks the highest.
QString LacksWhy(const Intp::TDevice* target, std::uint32_t ports);
// sent with own's bits in keep.
inline std::uint32_t Keep(std::uint32_t sent, std::uint32_t own, std::uint32_t keep)
{
    return (sent & ~keep) | (own & keep);
}

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

// Masks of sent made for the listed ports of shown, completed with the
// target's own record R on the others; why the target can't take them, or
// empty.
template <class R>
QString KeepMasks(Intp::TDevice* target, const TPortLayout& shown, R& sent,
                  std::initializer_list<std::uint32_t R::*> masks)
{
    if (QString why = UnlistedWhy(target, shown); !why.isEmpty())
        return why;
    const std::uint32_t keep = NotShown(shown);
    return KeepBits(target, keep, sent, masks) ? QString() : NotReadWhy(keep, false);
}

// The same for a target of any port count: one that lacks a listed port
// is named.
template <class R>
QString FitMasks(Intp::TDevice* target, const TPortLayout& shown, R& sent,
                 std::initializer_list<std::uint32_t R::*> masks)
{
    if (QString why = TModulePage::PortCountWhy(target, std::size_t(shown.ListedSpan())); !why.isEmpty())
        return why;
    return KeepMasks(target, shown, sent, masks);
}

// Sends record with Set to each target of page, its masks fitted as
// FitMasks does.
template <class Set, class R>
int SendFittingMasks(TModulePage& page, const R& record, const TPortLayout& shown,
                     std::initializer_list<std::uint32_t R::*> masks)
{
    return page.SendToEachTarget<Set>([&](Set& request, Intp::TDevice* target) {
        R own = record;
        const QString why = FitMasks(target, shown, own, masks);
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
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

// Why a target with has of a count (one, many) can't take a change made
// for shown of them.
QString CountWhy(std::size_t has, std::size_t shown, const char* one, const char* many);

// Entries the page shows, one per trunk group or slot of the switch on
// show, for a target that has has of them: one with fewer lacks one shown
// and is named; one with more takes its own entries beyond from own (its
// latest read; null when that read can't be used, and it is named), as its
// own page lists them.
template <class E>
QString KeepBeyond(std::vector<E>& entries, std::size_t has, const std::vector<E>* own, const char* one,
                   const char* many)
{
    const std::size_t shown = entries.size();
    if (has < shown)
        return CountWhy(has, shown, one, many);
    if (has == shown)
        return QString();
    if (!own || own->size() < has)
        return QString("its own %1 beyond %2 were not read").arg(many).arg(shown);
    entries.insert(entries.end(), own->begin() + std::ptrdiff_t(shown), own->begin() + std::ptrdiff_t(has));
    return QString();
}

// Entries each with a port mask made for the listed ports of shown, each
// completed with the mask of own's entry at the same position (the
// target's latest read; null when that read can't be used, and it is
// named) on the other ports, as the target's own page keeps the ticks of
// its lines the page does not show.
template <class E>
QString KeepEntryMasks(const Intp::TDevice* target, const TPortLayout& shown, std::vector<E>& entries,
                       const std::vector<E>* own, std::uint32_t E::*mask)
{
    if (QString why = UnlistedWhy(target, shown); !why.isEmpty())
        return why;
    // A port beyond the target's count is one shown does not list: its
    // own page has no tick for it.
    for (E& entry : entries)
        entry.*mask &= Bits(0, MaskSpan(target));
    const std::uint32_t keep = NotShown(shown);
    if (keep == 0)
        return QString();
    if (!own || own->size() < entries.size())
        return NotReadWhy(keep, false);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].*mask = Keep(entries[i].*mask, (*own)[i].*mask, keep);
    return QString();
}

// The indexes a page that lists every port does not show: none.
inline const std::vector<std::size_t> NoneHidden;

// A list of sent with one entry per port, made for the ports it holds
// but those of hidden (indexes the page did not show, in order): a target
// that lacks a port shown is named with its counts; the others take their
// own entries of the ports beyond and of hidden from their own read of R.
template <class R, class T>
QString KeepList(Intp::TDevice* target, R& sent, std::vector<T> R::*list, const std::vector<std::size_t>& hidden)
{
    std::vector<T>& entries = sent.*list;
    const std::size_t has = target->GetPortNum();
    std::size_t span = entries.size();
    while (span > 0 && std::find(hidden.begin(), hidden.end(), span - 1) != hidden.end())
        --span;
    if (has < span)
        return TModulePage::PortCountWhy(target, span);
    // Ports the target lacks are ones the page does not show.
    if (has < entries.size())
        entries.resize(has);
    const std::size_t shown = entries.size();
    const auto keep = std::find_if(hidden.begin(), hidden.end(), [&](std::size_t i) { return i < shown; });
    if (has == shown && keep == hidden.end())
        return QString();
    const R* own = target->LatestRead<R>();
    if (!own || (own->*list).size() < has)
        return keep != hidden.end() ? NotReadWhy(int(*keep), int(*keep) + 1) : NotReadWhy(int(shown), int(has));
    for (std::size_t i : hidden)
        if (i < shown)
            entries[i] = (own->*list)[i];
    entries.insert(entries.end(), (own->*list).begin() + std::ptrdiff_t(shown), (own->*list).begin() + std::ptrdiff_t(has));
    return QString();
}

// The same for a list made for the listed ports of shown, a target whose
// own page lacks one named (hidden: the indexes of the list without a row).
template <class R, class T>
QString KeepList(Intp::TDevice* target, R& sent, std::vector<T> R::*list, const std::vector<std::size_t>& hidden,
                 const TPortLayout& shown)
{
    if (QString why = UnlistedWhy(target, shown); !why.isEmpty())
        return why;
    return KeepList(target, sent, list, hidden);
}

template <class R, class T>
QString KeepList(Intp::TDevice* target, R& sent, std::vector<T> R::*list, const TPortLayout& shown)
{
    return KeepList(target, sent, list, shown.Unlisted(), shown);
}

// Puts into entry the target's own values (own: its entry of the same
// index, null when not read) of the fields the page shows none of; false
// when entry has one and own is null. An edited list's OwnValues().
template <class T> using TOwnValues = std::function<bool(T& entry, const T* own)>;

// Each entry of sent's list takes the target's own values, from its own
// read of R, of the fields the page shows none of (keep); why the target
// can't take them, or empty.
template <class R, class T>
QString KeepOwnValues(Intp::TDevice* target, R& sent, std::vector<T> R::*list, const TOwnValues<T>& keep)
{
    if (!keep)
        return QString();
    const R* read = target->LatestRead<R>();
    std::vector<T>& entries = sent.*list;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (keep(entries[i], read && i < (read->*list).size() ? &(read->*list)[i] : nullptr))
            continue;
        const QString notRead = "its own value of a field the page shows none of was not read";
        const QString why = TModulePage::OwnReadWhy<R>(target, notRead);
        return why.isEmpty() ? notRead : why;
    }
    return QString();
}

// Sends record, whose list holds one entry per port, with Set to each
// target of page, each completed as KeepList does (a Set of entries alone
// carries the list) and as KeepOwnValues does with keep; shown, when
// given, the listed ports.
template <class Set, class R, class T>
int SendKeepingList(TModulePage& page, const R& record, std::vector<T> R::*list,
                    const std::vector<std::size_t>& hidden, const TPortLayout* shown = nullptr,
                    const std::type_identity_t<TOwnValues<T>>& keep = nullptr)
{
    return page.SendToEachTarget<Set>([&](Set& request, Intp::TDevice* target) {
        R own = record;
        QString why = shown ? KeepList(target, own, list, hidden, *shown) : KeepList(target, own, list, hidden);
        if (why.isEmpty())
            why = KeepOwnValues(target, own, list, keep);
        if (!why.isEmpty())
            return why;
        if constexpr (requires { request.SetPayload(own); })
            request.SetPayload(own);
        else
            request.SetEntries(own.*list);
        return why;
    });
}

// The same for a list made for the listed ports of shown (hidden: the
// indexes of the list without a row, default those of shown).
template <class Set, class R, class T>
int SendKeepingList(TModulePage& page, const R& record, std::vector<T> R::*list, const TPortLayout& shown)
{
    return SendKeepingList<Set>(page, record, list, shown.Unlisted(), &shown);
}

template <class Set, class R, class T>
int SendKeepingList(TModulePage& page, const R& record, std::vector<T> R::*list,
                    const std::vector<std::size_t>& hidden, const TPortLayout& shown,
                    const std::type_identity_t<TOwnValues<T>>& keep = nullptr)
{
    return SendKeepingList<Set>(page, record, list, hidden, &shown, keep);
}

} // namespace PortMerge

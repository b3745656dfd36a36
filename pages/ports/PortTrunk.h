#pragma once

// What the trunk pages of both generations share: the edited rows of the
// second generation, the checks before a change and the check of a target.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortMerge.h"

#include <QString>

#include <cstdint>
#include <vector>

// Why a target can't take the trunk groups a page listing the ports of
// shown shows: it lacks a port or group shown. Else the groups take the
// target's own from own (its latest read) as its own page lists them: its
// groups beyond them, and each group's members of the ports not listed.
template <class E>
QString TrunkTargetFault(const Intp::TDevice* device, const TPortLayout& shown, std::vector<E>& groups,
                         const std::vector<E>* own)
{
    if (QString why = TModulePage::PortCountWhy(device, std::size_t(shown.ListedSpan())); !why.isEmpty())
        return why;
    if (QString why = PortMerge::KeepBeyond(groups, device->GetTrunkGroupNum(), own, "trunk group", "trunk groups");
        !why.isEmpty())
        return why;
    return PortMerge::KeepEntryMasks(device, shown, groups, own, &E::members);
}

// A second-generation trunk group as edited.
struct TTrunk2Row {
    std::uint32_t group = 0;  // from 0
    std::uint32_t lacp = 0;   // 0 "Disable" (static), 1 "Enable"
    std::uint32_t workPorts = 0;
    std::uint32_t members = 0;
};

// The groups of a record (its last entry, the LACP activity, left out);
// without a valid record, groups static rows without members.
std::vector<TTrunk2Row> Trunk2Rows(const Intp::TPropertyPortTrunk2& record, std::size_t groups);
// The message of the first group whose work ports don't fit its members,
// or an empty text.
QString CheckTrunk2Rows(const std::vector<TTrunk2Row>& rows);
// What a member tick does on the page, over every group in order: each
// counts its members in port order; past limit the member at which it was
// passed is unticked, nothing else changes and the message is returned.
// A member counted above its group's work ports is remembered, each group's
// work ports become its count, and the last member remembered leaves every
// other group, whose work ports drop by one.
QString Trunk2MemberTick(std::vector<TTrunk2Row>& rows, std::uint32_t limit);
// The ports of the LACP groups.
std::uint32_t LacpPorts(const std::vector<TTrunk2Row>& rows);
// The Set's entries: the groups, then the LACP activity entry (the active
// ports, kept to the LACP groups, and the work ports given).
std::vector<Intp::TPropertyPortTrunk2Entry> Trunk2Entries(const std::vector<TTrunk2Row>& rows, std::uint32_t active,
                                                          std::uint32_t activityWorkPorts);
// Sends those groups, made for the listed ports of shown, every LACP port
// active, to every target of the page that can take them, each with its own
// groups beyond them, its own members of the ports not listed and its own
// activity entry's work ports; a target whose groups so merged fail the
// page's checks (its member limit when members change, the work ports) is
// named with its message.
int SendTrunk2(TModulePage& page, const std::vector<TTrunk2Row>& rows, const TPortLayout& shown);
// Sends every target of the page its own groups, with the activity of the
// ports in shown as in active and its own activity of the others; a target
// that lacks one of ports, or whose groups were not read, is named.
int SendTrunk2Activity(TModulePage& page, std::uint32_t ports, std::uint32_t shown, std::uint32_t active);

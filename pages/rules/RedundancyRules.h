// Input rules of the redundancy pages, without widgets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "intp/Redundancy.h"

// The message of the first bridge setting the RSTP page refuses, or "".
std::string RstpBridgeError(long long priority, long long maxAge, long long hello, long long delay);

// The first priority other than 0 that an earlier port has too, in list
// order; 0 when there is none.
uint32_t DuplicatedPriority(const std::vector<uint32_t>& priorities);
// The index of the port that first repeats such a priority; the list's
// size when none does.
std::size_t RepeatedPriorityAt(const std::vector<uint32_t>& priorities);

// The ports the ring uses: none while it is off, else the two ring ports,
// then the control and coupling ports with the coupling ring on, the homing
// port with dual homing on.
std::vector<uint32_t> RingPorts(const Intp::TRingSettings& ring);
// The fields of those ports, in the same order.
std::vector<uint32_t Intp::TRingSettings::*> RingPortFields(const Intp::TRingSettings& ring);
// Whether the ports the ring uses clash (the ring on). Ports are compared
// whole, whatever their number.
bool RingPortsClash(const Intp::TRingSettings& ring);

// The ring settings as sent: all zero but the flag while the ring is off,
// the coupling and homing ports zero while their option is off, flags 0 or 1.
Intp::TPropertyRedundancyRing RingToSend(const Intp::TRingSettings& ring);

// The name of value in names, or "Unknown (value)" for a value with none.
std::string NameOf(const std::vector<const char*>& names, uint32_t value);

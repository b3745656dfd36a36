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
//
// The parts: intp/RecordCodecs.h (the wire codecs), intp/RecordLayout.h (the
// layouts and field makers) and intp/RecordRequests.h (the Get and Set
// templates).
#pragma once

#include "intp/RecordCodecs.h"
#include "intp/RecordLayout.h"
#include "intp/RecordRequests.h"

#pragma once

// What the MAC filter and static MAC pages share.

#include "intp/Device.h"

#include <QString>

#include <cstdint>

// An entry of either table is named by its address and VLAN ID.
inline QString MacVlanKey(const Intp::TMacAddr& mac, uint32_t vlanId)
{
    return SwitchText(mac.ToString()) + "/" + QString::number(vlanId);
}

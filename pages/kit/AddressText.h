#pragma once

// Dotted text of a host-order IPv4 address, for lists, fields and files.
// Header only and Qt Core only, so the configuration reader can use it in
// builds without widgets.

#include "intp/NetUtils.h"

#include <QString>

#include <cstdint>

inline QString IpText(std::uint32_t address) { return QString::fromStdString(IpToString(address)); }

// Builders of the records many tests need, valid and sized by a model: port
// names, per-port records, tables and the port configuration. The fake
// switch starts from the same records.
//
//     Put(device, IntpTest::PortNames(IntpTest::ModelOf(device), {4, 5}));
//     auto ips = IntpTest::PerPort<Intp::TPropertyBasicsDhcpPortIp>(model, [](size_t i, uint32_t& ip) { ip = i; });
//     Put(device, IntpTest::Table<Intp::TPropertySecurityMac>({mac1, mac2}));
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "intp/DeviceType.h"
#include "intp/Ports.h"
#include "intp/Record.h"

namespace IntpTest {

using Intp::ModelOf;

// "Port.01" on for the ports, "Trunk1" on for the trunk groups; the ports
// of index hidden are named "Port.XX".
inline Intp::TPropertyPortName PortNames(const Intp::TDeviceType& model, std::initializer_list<size_t> hidden = {})
{
    Intp::TPropertyPortName r;
    r.valid = true;
    char name[16];
    for (uint32_t i = 0; i < model.PortNum; ++i) {
        std::snprintf(name, sizeof name, "Port.%02u", i + 1);
        r.names.push_back(name);
    }
    for (uint32_t i = 0; i < model.TrunkGroupNum; ++i) r.names.push_back("Trunk" + std::to_string(i + 1));
    for (size_t i : hidden)
        if (i < r.names.size()) r.names[i] = "Port.XX";
    return r;
}

// A valid record whose array has the model's count; fill(i, element) sets
// each element.
template <class R, class Fn> R PerPort(const Intp::TDeviceType& model, Fn&& fill)
{
    R r{};
    r.valid = true;
    R::Fields.ResizeArray(r, Intp::ModelCount(R::Fields.ArrayKind(), model));
    auto& elements = R::Fields.Elements(r);
    for (size_t i = 0; i < elements.size(); ++i) fill(i, elements[i]);
    return r;
}

// A valid table record holding entries.
template <class R> R Table(std::vector<typename decltype(R::entries)::value_type> entries)
{
    R r{};
    r.valid = true;
    r.entries = std::move(entries);
    return r;
}

// Every port and trunk group in index order: enabled, auto-negotiating, no
// flow control or security; ports 1000TX, trunk groups "N/A".
inline Intp::TPropertyPortConfig PortConfig(const Intp::TDeviceType& model)
{
    return PerPort<Intp::TPropertyPortConfig>(model, [&](size_t i, Intp::TPropertyPortConfigEntry& e) {
        e.port = uint32_t(i);
        e.mediaType = i < model.PortNum ? 1 : 0;
        e.enabled = true;
    });
}

} // namespace IntpTest

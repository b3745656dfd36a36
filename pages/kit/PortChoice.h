#pragma once

// The port chooser of a page that names one port of the switch.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;

namespace Intp {
class TDevice;
}

// One item per entry of the device's port configuration, in record order,
// named by its port-name record and carrying the port's index; the first
// item is chosen. No item unless both records are valid. skipHidden leaves
// out the ports named "Port.XX". Answers the number of items.
int FillPortChoice(QComboBox* combo, Intp::TDevice* device, bool skipHidden);
// Chooses the item of a port index; none when the chooser has no such item.
void ChoosePort(QComboBox* combo, std::uint32_t port);
// The chosen item's port index; none while no item is chosen.
bool ChosenPort(const QComboBox* combo, std::uint32_t& port);
// A port's name from the port-name record's names; "Port.%02d" past them.
QString PortNameOf(const std::vector<std::string>& names, std::uint32_t port);

#pragma once

// Texts of the per-port values the port pages show. A value a switch sends
// without a text shows as "Unknown (n)"; no value indexes a list blindly.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace PortTexts {

inline const QStringList MediaTypes = {"N/A",   "1000TX", "1000SX", "1000LX", "100TX",
                                       "100SX", "100LX",  "mGBIC",  "GBIC",   "1GTX/mGBIC"};
inline const QStringList SpeedDuplexes = {"Auto Negotiation", "1G Full", "1G Half", "100 Full",
                                          "100 Half",         "10 Full", "10 Half"};
inline const QStringList OnOff = {"Disable", "Enable"};
inline const QStringList Links = {"Down", "Up"};
inline const QStringList StatusFlowControls = {"Disable", "Symmetric"};
inline const QStringList FrameTypes = {"All", "Broadcast/Multicast/Flooded Unicast", "Broadcast/Multicast",
                                       "Broadcast Only"};
inline const QString Missing = "Unknown (%1)";

inline QString Of(const QStringList& texts, std::uint32_t value)
{
    return value < std::uint32_t(texts.size()) ? texts[int(value)] : Missing.arg(value);
}

} // namespace PortTexts

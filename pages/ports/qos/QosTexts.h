#pragma once

// Names of the queues and priorities the QoS pages show; a value is the
// index of its name.

#include <QString>
#include <QStringList>

#include <cstddef>

namespace QosTexts {

// Queue 0 to queue 3, first and second generation.
inline const QStringList Queues = {"Lowest", "Low", "Middle", "High"};
inline const QStringList Queues2 = {"Lowest", "Second Low", "Second High", "Highest"};

// "Priority.00" ... "Priority.07".
inline QString PriorityCaption(std::size_t priority) { return QString::asprintf("Priority.%02d", int(priority)); }
inline const QStringList Priorities = [] {
    QStringList names;
    for (std::size_t priority = 0; priority < 8; ++priority)
        names << PriorityCaption(priority);
    return names;
}();
// A port's default priority of the second generation: 0 off, 1..8 priority 0..7.
inline const QStringList PortPriorities2 = QStringList{"OFF"} + Priorities;

inline QString DscpCaption(std::size_t dscp) { return QString::number(dscp); }

} // namespace QosTexts

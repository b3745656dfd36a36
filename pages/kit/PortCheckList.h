#pragma once

// A check list of the listed ports of a port layout ("Port.01", "Port.02"
// ... in row order), bound to a port mask sized to the model: a hidden
// port has no line and keeps its bit clear.

#include "pages/kit/PortLayout.h"

#include <QListWidget>

#include <cstdint>
#include <vector>

class TPortCheckList : public QListWidget {
    Q_OBJECT

public:
    explicit TPortCheckList(QWidget* parent = nullptr);

    // One line per listed port of the first 32 indexes, numbered or (named)
    // by the port's name; every tick cleared.
    void SetPorts(const TPortLayout& layout, bool named = false);
    // Lines of fixed texts (not ports): line k is bit k.
    void SetLines(const QStringList& lines);
    // A few fixed lines one under the other, the list as tall as they are.
    void SetShortLines(const QStringList& lines);
    // Ticks by the layout's index (for SetPorts) or line (for SetLines).
    void SetTicks(const std::vector<bool>& ticks);
    std::vector<bool> Ticks() const;
    // The same as a 32-bit mask: bit n for index n below 32.
    void SetMask(std::uint32_t mask);
    std::uint32_t Mask() const;
    // The bits that have a line (the others, hidden ports, keep what they hold).
    std::uint32_t LineMask() const;
    void ClearTicks();

private:
    void AddLine(const QString& text, int index);

    std::vector<int> m_IndexOfLine;  // port index (or line number) of each line
    int m_Indexes = 0;               // the size of a mask: the model's ports
};

#pragma once

// Rules of the group wizards without widgets: which address each switch of
// a range gets, and how rows move between and within the wizards' lists.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The addresses of a range for count switches, the top row's first, rising.
// Empty when the range can't serve them: end must lie above begin, both be
// valid host addresses, the mask valid, and the range must hold count
// addresses that are neither a network nor a broadcast address of the mask
// nor one of taken (addresses in use by other devices, the gateway). Never
// wraps past 255.255.255.255 and never hands out one address twice.
std::vector<uint32_t> PlanAddresses(uint32_t begin, uint32_t end, uint32_t mask, std::size_t count,
                                    const std::vector<uint32_t>& taken = {});
// The first limit addresses that plan would hand out, in its order; fewer
// when the range runs out, none when it is no valid range.
std::vector<uint32_t> FreeAddresses(uint32_t begin, uint32_t end, uint32_t mask, std::size_t limit,
                                    const std::vector<uint32_t>& taken = {});

// Moves of the selected row of an ordered list.
enum TRowMove { rmTop, rmUp, rmDown, rmBottom };

// Where the row at from goes in a list of count rows; -1 when that move is
// not offered (the first row can't go up, the last can't go down).
int MovedRowIndex(int from, int count, TRowMove move);

// Moves rows[from] to index to; the rows between shift by one toward from.
template <class T>
void MoveRow(std::vector<T>& rows, int from, int to)
{
    if (from < 0 || to < 0 || from >= int(rows.size()) || to >= int(rows.size()) || from == to)
        return;
    auto first = rows.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

// Moves the selected rows of source to the end of destination, walking them
// from the last selected to the first (so the moved rows arrive reversed).
// Answers the indexes of the moved rows in destination.
template <class T>
std::vector<int> MoveSelectedRows(std::vector<T>& source, std::vector<T>& destination, std::vector<int> selected)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    std::vector<int> moved;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it < 0 || *it >= int(source.size()))
            continue;
        destination.push_back(source[std::size_t(*it)]);
        moved.push_back(int(destination.size()) - 1);
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it >= 0 && *it < int(source.size()))
            source.erase(source.begin() + *it);
    }
    return moved;
}

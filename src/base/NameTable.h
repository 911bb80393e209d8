#pragma once

#include <array>
#include <cstddef>

// An enumeration's names (or any fixed entries) in one table, one entry per
// enumerator in declaration order from 0, instead of a switch that spells
// out each case. Beside each table a static_assert ties its length to the
// enumeration's last enumerator.
template <typename TEntry, std::size_t N, typename TEnum>
const TEntry &TableEntry(const std::array<TEntry, N> &Table, TEnum Value)
{
    return Table.at(static_cast<std::size_t>(Value));
}

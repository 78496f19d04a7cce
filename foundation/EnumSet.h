#pragma once

// A set of the values of a small enumeration (fewer than 32 values), usable
// in constant expressions: the platform's "set of" types.

#include <initializer_list>

template<typename Enum> class TEnumSet
{
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<Enum> values)
    {
        for (Enum value : values)
            m_bits |= 1u << unsigned(value);
    }
    constexpr bool Contains(Enum value) const { return (m_bits >> unsigned(value)) & 1u; }

private:
    unsigned m_bits = 0;
};

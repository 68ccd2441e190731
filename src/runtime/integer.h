#pragma once

#include <cstdint>
#include <type_traits>

namespace forms {

/// A 16-bit signed integer whose arithmetic raises Overflow outside -32768..32767.
class Integer
{
public:
    constexpr Integer() = default;
    /// Throws RuntimeError(Overflow) when the value does not fit.
    Integer(long long value);

    constexpr operator int() const { return m_value; }

    friend Integer operator+(Integer a, Integer b) { return Integer(a.wide() + b.wide()); }
    friend Integer operator-(Integer a, Integer b) { return Integer(a.wide() - b.wide()); }
    friend Integer operator*(Integer a, Integer b) { return Integer(a.wide() * b.wide()); }
    template<class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    friend Integer operator+(Integer a, T b)
    {
        return a + Integer(b);
    }
    template<class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    friend Integer operator-(Integer a, T b)
    {
        return a - Integer(b);
    }
    template<class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    friend Integer operator*(Integer a, T b)
    {
        return a * Integer(b);
    }

private:
    constexpr long long wide() const { return m_value; }
    std::int16_t m_value = 0;
};

} // namespace forms

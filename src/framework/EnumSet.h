#pragma once
// A set of enumeration values (up to 32), for options such as border icons,
// dialog buttons and shift states: {biSystemMenu, biMinimize}.
#include <cstdint>
#include <initializer_list>

namespace lumora {

template <class E>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> items)
    {
        for (E item : items)
            bits_ |= Bit(item);
    }

    constexpr bool Contains(E item) const { return (bits_ & Bit(item)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr EnumSet& Include(E item)
    {
        bits_ |= Bit(item);
        return *this;
    }
    constexpr EnumSet& Exclude(E item)
    {
        bits_ &= ~Bit(item);
        return *this;
    }

    friend constexpr bool operator==(EnumSet a, EnumSet b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator!=(EnumSet a, EnumSet b) { return a.bits_ != b.bits_; }

private:
    static constexpr std::uint32_t Bit(E item) { return std::uint32_t(1) << static_cast<unsigned>(item); }
    std::uint32_t bits_ = 0;
};

}  // namespace lumora

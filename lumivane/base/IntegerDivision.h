#pragma once

// Division rounded towards minus or plus infinity. C++'s `/` rounds towards zero, which puts -1/2
// on the wrong pixel wherever coordinates go negative (a window dragged off the screen's left, a
// line's far end). Written without negating the dividend, so the most negative value of T is safe;
// b must not be zero. Works for __int128 too, which the rasteriser uses for products of two far
// coordinates.

namespace lumivane {

template <class T>
constexpr T FloorDiv(T a, T b) {
    const T q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

template <class T>
constexpr T CeilDiv(T a, T b) {
    const T q = a / b;
    return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

}  // namespace lumivane

#pragma once

namespace quorvane {

// Pixels for a length in twips, at 15 twips a pixel (96 dots per inch).
constexpr int pixelsFromTwips(int value)
{
    return (value + 7) / 15;
}

} // namespace quorvane

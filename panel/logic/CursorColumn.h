// The column of the spectrum area under the cursor.
//
// Positions are in the area's client coordinates in the window system's
// logical pixels: origin 0,0 at the top left corner inside the area's frame.
// At a fractional device pixel ratio a position may fall between two logical
// pixels; it belongs to the pixel it lies in (rounded down), never to the one
// it is nearest.
//
// Pure: no Qt, no device calls; usable from any thread.
#ifndef TVX_PANEL_LOGIC_SPECTRUMCOLUMN_H
#define TVX_PANEL_LOGIC_SPECTRUMCOLUMN_H

#include <cstdint>
#include <optional>

namespace tvx {

// A client rectangle: left and top inclusive, right and bottom exclusive.
// A rectangle with right <= left or bottom <= top contains no point.
struct ClientRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The pixel that contains position x (one axis), or none when x is not a
// finite number or lies beyond the 32-bit range. Pure.
std::optional<int32_t> PixelAt(double x);

// The column offset (pixels from rect.left, never below 0) of the point x, y,
// or none when the point's pixel is not inside rect (left <= px < right and
// top <= py < bottom). Pure.
std::optional<int32_t> SpectrumColumnAt(double x, double y, const ClientRect &rect);

}  // namespace tvx

#endif  // TVX_PANEL_LOGIC_SPECTRUMCOLUMN_H

// Icon 128 as data: the shapes of the application icon in a 32 x 32 frame,
// painted in order. The window icon is painted from this table, and the
// installed SVG and PNG icons are made from it at build time, so all agree.
#pragma once

#include <cstdint>
#include <span>

namespace tvx::res {

// One step of an outline: 'M' move to (x, y), 'L' line to (x, y), 'C' cubic
// curve through (x1, y1) and (x2, y2) to (x, y), 'Z' close.
struct IconStep {
    char op;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x = 0, y = 0;
};

enum class IconShapeKind {
    RoundedRect,
    Circle,
    Outline
};

// A rounded rectangle (x, y, width, height, radius), a circle (centre x, y
// and radius) or an outline (steps). Colours are 0xRRGGBB; a stroke width of
// 0 draws no edge.
struct IconShape {
    IconShapeKind kind;
    double x = 0, y = 0, width = 0, height = 0, radius = 0;
    std::span<const IconStep> steps = {};
    uint32_t fill = 0;
    uint32_t stroke = 0;
    double strokeWidth = 0;
};

inline constexpr int kIconFrame = 32;

// A telephone handset across the top of the adapter's body.
inline constexpr IconStep kHandsetSteps[] = {
    {'M', 0, 0, 0, 0, 6, 15},
    {'C', 6, 8, 26, 8, 26, 15},
    {'L', 0, 0, 0, 0, 22, 16},
    {'C', 21, 13, 11, 13, 10, 16},
    {'Z'},
};

inline constexpr uint32_t kKeypadDot = 0xe8f0fa;
inline constexpr double kKeypadDotRadius = 1.3;

inline constexpr IconShape kAppIconShapes[] = {
    // Rounded body of the adapter.
    {IconShapeKind::RoundedRect, 2, 6, 28, 22, 4, {}, 0x3d7ec4, 0x1f3a5f, 1.2},
    {IconShapeKind::Outline, 0, 0, 0, 0, 0, kHandsetSteps, 0xffffff},
    // Keypad: two rows of three dots.
    {IconShapeKind::Circle, 11, 20, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
    {IconShapeKind::Circle, 16, 20, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
    {IconShapeKind::Circle, 21, 20, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
    {IconShapeKind::Circle, 11, 24, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
    {IconShapeKind::Circle, 16, 24, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
    {IconShapeKind::Circle, 21, 24, 0, 0, kKeypadDotRadius, {}, kKeypadDot},
};

}  // namespace tvx::res

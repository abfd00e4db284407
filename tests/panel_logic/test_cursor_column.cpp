#include "panel/logic/CursorColumn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace tvx {
namespace {

// The window system reports a device pixel d of a screen with ratio r at the
// logical position d / r. The area is W logical pixels wide, so it covers the
// device pixels 0 .. ceil(W * r) - 1.
TEST(SpectrumColumn, EdgesHoldAtEveryDevicePixelRatio)
{
    constexpr int kWidth = 291;  // odd: its right edge falls inside a device pixel at 1.5
    constexpr int kHeight = 146;
    const ClientRect area{0, 0, kWidth, kHeight};
    for (double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const double y = 70 * ratio;
        auto columnAt = [&](double device) { return SpectrumColumnAt(device / ratio, y / ratio, area); };
        const double lastDevice = std::ceil(kWidth * ratio) - 1;
        EXPECT_EQ(columnAt(0), std::optional<int32_t>(0)) << "left edge";
        EXPECT_EQ(columnAt(1), std::optional<int32_t>(ratio > 1.0 ? 0 : 1));
        EXPECT_EQ(columnAt(lastDevice), std::optional<int32_t>(kWidth - 1)) << "last column";
        EXPECT_EQ(columnAt(lastDevice + 1), std::nullopt) << "one device pixel beyond";
        EXPECT_EQ(columnAt(-1), std::nullopt) << "one device pixel before";
        // Whole logical pixels, as a cursor position in logical pixels gives them.
        EXPECT_EQ(SpectrumColumnAt(kWidth - 1, 0, area), std::optional<int32_t>(kWidth - 1));
        EXPECT_EQ(SpectrumColumnAt(kWidth, 0, area), std::nullopt);
        // Rows: the top and bottom edges.
        EXPECT_EQ(SpectrumColumnAt(5, 0, area), std::optional<int32_t>(5));
        EXPECT_EQ(SpectrumColumnAt(5, (std::ceil(kHeight * ratio) - 1) / ratio, area), std::optional<int32_t>(5));
        EXPECT_EQ(SpectrumColumnAt(5, std::ceil(kHeight * ratio) / ratio, area), std::nullopt);
        EXPECT_EQ(SpectrumColumnAt(5, -1 / ratio, area), std::nullopt);
        // Each device pixel inside the area maps to the column that contains it.
        for (int device = 0; device <= lastDevice; ++device) {
            const std::optional<int32_t> column = columnAt(device);
            ASSERT_TRUE(column.has_value()) << device;
            EXPECT_EQ(*column, static_cast<int32_t>(std::floor(device / ratio))) << device;
        }
    }
}

TEST(SpectrumColumn, OffsetFromTheRectanglesLeftEdge)
{
    const ClientRect rect{10, 20, 30, 40};
    struct Case {
        double x, y;
        std::optional<int32_t> column;
    };
    const Case cases[] = {
        {10, 20, 0},
        {10.99, 20, 0},
        {29, 39, 19},
        {29.999, 39.999, 19},
        {30, 25, std::nullopt},
        {9.999, 25, std::nullopt},
        {15, 19.5, std::nullopt},
        {15, 40, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SpectrumColumnAt(c.x, c.y, rect), c.column) << c.x << ", " << c.y;
}

TEST(SpectrumColumn, EmptyRectanglesAndBadPositionsGiveNoColumn)
{
    const ClientRect empty{};
    EXPECT_EQ(SpectrumColumnAt(0, 0, empty), std::nullopt);
    const ClientRect inverted{10, 10, 5, 20};
    EXPECT_EQ(SpectrumColumnAt(7, 12, inverted), std::nullopt);
    const ClientRect area{0, 0, 100, 100};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1e300, -1e300}) {
        EXPECT_EQ(SpectrumColumnAt(bad, 5, area), std::nullopt) << bad;
        EXPECT_EQ(SpectrumColumnAt(5, bad, area), std::nullopt) << bad;
    }
    EXPECT_EQ(PixelAt(-0.25), std::optional<int32_t>(-1)) << "rounded down, not toward zero";
    EXPECT_EQ(PixelAt(2.75), std::optional<int32_t>(2)) << "rounded down, not to the nearest";
}

TEST(SpectrumColumn, AWideRectangleCapsTheColumn)
{
    const ClientRect wide{std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max(), 1};
    EXPECT_EQ(SpectrumColumnAt(1e9, 0, wide), std::optional<int32_t>(std::numeric_limits<int32_t>::max()));
    EXPECT_EQ(SpectrumColumnAt(std::numeric_limits<int32_t>::min(), 0, wide), std::optional<int32_t>(0));
}

}  // namespace
}  // namespace tvx

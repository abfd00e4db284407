// Menus kept as data: one row per entry in menu order, nesting given by depth.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvx::res {

enum class MenuKind : uint8_t {
    Popup,
    Item,
    Separator
};

struct MenuEntry {
    uint8_t depth;  // 0 for the pop-ups of the menu bar
    MenuKind kind;
    uint16_t id;       // 0 for pop-ups and separators
    const char *text;  // "" for separators
    bool checked;      // check mark when the menu is created
};

}  // namespace tvx::res

namespace tvx {

// Position of a pop-up: its place in the menu bar, and for a nested pop-up
// its place inside that pop-up (separators count). Written {4} or {4, 0}.
struct PopupPath {
    uint8_t depth = 0;             // 1 for a top pop-up, 2 for a nested one
    std::array<uint8_t, 2> pos{};  // pos[0] in the bar, pos[1] inside it

    constexpr PopupPath() = default;
    constexpr PopupPath(int top) : depth(1), pos{static_cast<uint8_t>(top), 0} {}
    constexpr PopupPath(int top, int sub) : depth(2), pos{static_cast<uint8_t>(top), static_cast<uint8_t>(sub)} {}
    constexpr bool operator==(const PopupPath &) const = default;
};

namespace menu_detail {
// Called only when a menu has no such item: not a constant expression, so
// asking for it at compile time fails the build.
inline void NoSuchItem() {}
}  // namespace menu_detail

// The path of the pop-up that holds item id in menu. Evaluated at compile
// time; an id the menu does not hold, or one outside the two pop-up levels,
// stops the build.
consteval PopupPath PopupHolding(std::span<const res::MenuEntry> menu, uint16_t id)
{
    std::array<int, 3> position{-1, -1, -1};  // of the latest entry at each depth
    for (const res::MenuEntry &entry : menu) {
        if (entry.depth >= position.size())
            break;
        ++position[entry.depth];
        for (std::size_t deeper = entry.depth + 1u; deeper < position.size(); ++deeper)
            position[deeper] = -1;
        if (entry.kind != res::MenuKind::Item || entry.id != id)
            continue;
        if (entry.depth == 1)
            return PopupPath(position[0]);
        if (entry.depth == 2)
            return PopupPath(position[0], position[1]);
        break;
    }
    menu_detail::NoSuchItem();
    return {};
}

}  // namespace tvx

// Menus kept as data: one row per entry in menu order, nesting given by depth.
#pragma once

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

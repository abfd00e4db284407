// Template 141: the LEDs test dialog. Eight check boxes, no push button. The
// six lamp boxes that all show "LED" are named for a screen reader by their
// lamp's number, as the bench window names the adapter's lamps.
#pragma once

#include "res/DialogTemplate.h"

namespace tvx::res {

inline constexpr ControlTemplate kLedsTestControls[] = {
    {1077, ControlKind::CheckBox, "Enable Test", 5, 5, 60, 10, kStyleNone},
    {1100, ControlKind::CheckBox, "LED (Power)", 5, 25, 60, 10, kStyleNone},
    {1101, ControlKind::CheckBox, "LED", 5, 35, 30, 10, kStyleNone, {.name = "LED 2"}},
    {1102, ControlKind::CheckBox, "LED", 5, 45, 30, 10, kStyleNone, {.name = "LED 3"}},
    {1103, ControlKind::CheckBox, "LED", 5, 55, 30, 10, kStyleNone, {.name = "LED 4"}},
    {1104, ControlKind::CheckBox, "LED", 5, 65, 30, 10, kStyleNone, {.name = "LED 5"}},
    {1105, ControlKind::CheckBox, "LED", 5, 75, 30, 10, kStyleNone, {.name = "LED 6"}},
    {1106, ControlKind::CheckBox, "LED", 5, 85, 30, 10, kStyleNone, {.name = "LED 7"}},
};

inline constexpr DialogTemplate kLedsTestTemplate{
    141,
    "Parlino LEDs Test",
    147,
    102,
    "MS Sans Serif",
    8,
    kLedsTestControls,
};

}  // namespace tvx::res

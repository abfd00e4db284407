// Dialog templates kept as data: every control with its id, kind, text, place
// in dialog units and style, in template order (which is also the tab order).
#pragma once

#include <cstdint>
#include <span>

namespace tvx::res {

enum class ControlKind : uint8_t {
    GroupBox,
    Static,
    Edit,
    PushButton,
    DefaultPushButton,
    CheckBox,
    ListBox,
    DropDownList,
    Trackbar,
};

// Style bits beyond the kind.
enum Style : uint32_t {
    kStyleNone = 0,
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kSunken = 1u << 2,
    kCentred = 1u << 3,
    kSorted = 1u << 4,
    kAutoScroll = 1u << 5,
    kVScroll = 1u << 6,
    kNotify = 1u << 7,
    kBorder = 1u << 8,
    kNoTicks = 1u << 9,
    kTwoSidedThumb = 1u << 10,
    kSimple = 1u << 11,
};

constexpr int kNoId = -1;

// What assistive technology is told beyond a control's own text.
struct Accessibility {
    const char *name = nullptr;         // a control without a text of its own, or one whose text others share
    const char *description = nullptr;  // what the value a control shows is
    int labels = kNoId;                 // a static: the control it labels
};

struct ControlTemplate {
    int id;  // kNoId for frames and labels
    ControlKind kind;
    const char *text;         // "" for none; mnemonics marked with '&'
    int x, y, width, height;  // dialog units
    uint32_t style;
    Accessibility access{};
    std::span<const char *const> items{};  // initial items of a drop-down list
};

struct DialogTemplate {
    int id;
    const char *title;
    int width, height;  // dialog units
    const char *fontFamily;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
};

}  // namespace tvx::res

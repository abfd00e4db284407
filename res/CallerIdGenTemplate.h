// Template 139: the caller-ID generator dialog.
#pragma once

#include "res/DialogTemplate.h"

namespace tvx::res {

// Items of the message-type list 1089, in template order (unsorted); the
// index of the selected item is the record's message type.
inline constexpr const char *kMessageTypeItems[] = {"SDMF", "MDMF", "DTMF-C", "DTMF-#"};

inline constexpr ControlTemplate kCallerIdGenControls[] = {
    {1089, ControlKind::DropDownList, "", 5, 15, 50, 69, kVScroll, {}, kMessageTypeItems},
    {1090, ControlKind::CheckBox, "Send Number:", 5, 35, 60, 8, kStyleNone},
    {1085, ControlKind::Edit, "", 5, 46, 85, 12, kBorder | kAutoScroll, {.name = "Caller number"}},
    {1091, ControlKind::CheckBox, "Send Name:", 5, 65, 55, 8, kStyleNone},
    {1086, ControlKind::Edit, "", 5, 75, 85, 12, kBorder | kAutoScroll, {.name = "Caller name"}},
    {1092, ControlKind::CheckBox, "Send Date and Time:", 100, 35, 80, 8, kStyleNone},
    {1087,
     ControlKind::Edit,
     "",
     100,
     46,
     40,
     12,
     kBorder | kAutoScroll,
     {.name = "Date and time", .description = "MMDDhhmm"}},
    {1093, ControlKind::CheckBox, "Send Visual Indicator", 100, 65, 85, 8, kStyleNone},
    {1077, ControlKind::CheckBox, "Lit Visual Indicator", 110, 76, 75, 8, kStyleNone},
    {1088, ControlKind::DefaultPushButton, "&Generate", 70, 120, 50, 15, kStyleNone},
    {kNoId, ControlKind::Static, "Message Type:", 5, 5, 50, 10, kStyleNone, {.labels = 1089}},
    {1094, ControlKind::CheckBox, "Out of Area", 5, 105, 55, 8, kStyleNone},
    {1095, ControlKind::CheckBox, "Private", 5, 95, 40, 8, kStyleNone},
    {1096, ControlKind::Trackbar, "Slider1", 95, 100, 95, 15, kTwoSidedThumb | kNoTicks, {.name = "Signal level"}},
    {kNoId, ControlKind::Static, "MMDDhhmm", 145, 50, 45, 8, kStyleNone},
    {kNoId, ControlKind::Static, "- Signal Level + :", 100, 90, 85, 8, kCentred, {.labels = 1096}},
    {1078, ControlKind::CheckBox, "Use Ringer", 130, 17, 50, 8, kStyleNone},
    {1097, ControlKind::CheckBox, "Call Waiting", 65, 17, 55, 8, kStyleNone},
    // Shares the place of "Use Ringer"; shown instead of it while "Call Waiting" is checked.
    {1098, ControlKind::CheckBox, "Wait for ACK", 130, 17, 55, 8, kHidden},
};

inline constexpr DialogTemplate kCallerIdGenTemplate{
    139,
    "Parlino Caller ID Generator",
    197,
    141,
    "MS Sans Serif",
    8,
    kCallerIdGenControls,
};

}  // namespace tvx::res

// Template 102: the main dialog.
#pragma once

#include "res/DialogTemplate.h"
#include "res/MainDialogIds.h"

namespace tvx::res {

// Items of the parameter selector 1079, in template order: the parameter
// editor's rows follow this order.
inline constexpr const char *kParameterItems[] = {
    "Ringer Off Period",
    "Ringer On Period",
    "Wait for Dial Tone Time",
    "Wait for Answer Time",
    "DTMF Dial Time",
    "Pause Time",
    "Hook Flash Time",
    "Pre Hook Flash Guard Time",
    "Post Hook Flash Guard Time",
    "Tones Detection Threshold",
    "Silent Detection Threshold",
    "Voice Detection Threshold",
    "Voice Band Low",
    "Voice Band High",
    "Lite DTMF DAA, phone on-hook",
    "Lite DTMF DAA, phone off-hook",
    "Lite DTMF CODEC",
};

inline constexpr ControlTemplate kMainDialogControls[] = {
    {kNoId, ControlKind::GroupBox, "Dial", 270, 5, 140, 105, kStyleNone},
    {kIdDialString, ControlKind::Edit, "", 275, 15, 93, 12, kAutoScroll, {.name = "Dial string"}},
    {kIdSerialNumber, ControlKind::Edit, "", 275, 190, 130, 12, kAutoScroll, {.name = "Serial number"}},
    {kIdDialButton, ControlKind::PushButton, "Dia&l", 375, 15, 30, 14, kStyleNone},
    {kIdSpectrum, ControlKind::Static, "", 5, 135, 175, 90, kSimple | kSunken, {.name = "Spectrum"}},
    {kIdAnalysisBox, ControlKind::CheckBox, "Telephony Anal&ysis", 5, 120, 80, 8, kStyleNone},
    {kNoId, ControlKind::GroupBox, "Events Monitor", 5, 5, 250, 105, kStyleNone},
    {kIdEventLog, ControlKind::ListBox, "", 10, 15, 240, 90, kVScroll | kNotify, {.name = "Event log"}},
    {kIdFrequencyText,
     ControlKind::Static,
     "2000 Hz",
     130,
     120,
     50,
     10,
     kCentred | kSunken,
     {.description = "Frequency under the mouse"}},
    {kNoId, ControlKind::GroupBox, "Adjustable Parameters", 270, 115, 140, 60, kStyleNone},
    {kIdParameterList,
     ControlKind::DropDownList,
     "",
     275,
     125,
     130,
     89,
     kStyleNone,
     {.description = "Parameter selector"},
     kParameterItems},
    {kIdTrackbar,
     ControlKind::Trackbar,
     "Slider1",
     275,
     141,
     130,
     15,
     kTwoSidedThumb | kNoTicks,
     {.name = "Parameter value"}},
    {kIdValueText,
     ControlKind::Static,
     "0",
     280,
     160,
     120,
     10,
     kSunken,
     {.description = "Value of the selected parameter"}},
    {kNoId, ControlKind::GroupBox, "Serial Number", 270, 181, 140, 45, kStyleNone},
    {kIdBurnDevice, ControlKind::DefaultPushButton, "&Burn Device ...", 275, 206, 65, 15, kStyleNone},
    {kIdLocalCountry, ControlKind::DropDownList, "", 275, 60, 130, 89, kSorted},
    {kNoId, ControlKind::Static, "Local Country:", 275, 50, 55, 10, kStyleNone, {.labels = kIdLocalCountry}},
    {kIdDestinationCountry, ControlKind::DropDownList, "", 275, 90, 130, 89, kSorted},
    {kNoId, ControlKind::Static, "Destination Country:", 275, 80, 74, 9, kStyleNone, {.labels = kIdDestinationCountry}},
    {kIdDialToDestination, ControlKind::CheckBox, "Dial to Destination Country", 275, 35, 100, 8, kHidden},
    {kIdCheck2, ControlKind::CheckBox, "Check2", 200, 170, 45, 10, kHidden | kDisabled},
};

inline constexpr DialogTemplate kMainDialogTemplate{
    102,
    "Telvora Parlino USB Control / Monitor",
    427,
    231,
    "MS Sans Serif",
    8,
    kMainDialogControls,
};

}  // namespace tvx::res

// Menu 136: the main dialog's menu. Positions (separators included) bind:
// commands find their pop-ups by position.
#pragma once

#include "res/Menu.h"

namespace tvx::res {

namespace menu_rows {
constexpr MenuEntry P(uint8_t depth, const char *text) { return {depth, MenuKind::Popup, 0, text, false}; }
constexpr MenuEntry I(uint8_t depth, uint16_t id, const char *text, bool checked = false)
{
    return {depth, MenuKind::Item, id, text, checked};
}
constexpr MenuEntry S(uint8_t depth) { return {depth, MenuKind::Separator, 0, "", false}; }
}  // namespace menu_rows

inline constexpr bool kChecked = true;

inline constexpr MenuEntry kMainMenu136[] = {
    menu_rows::P(0, "&File"),
    menu_rows::I(1, 32830, "Eraze Device"),
    menu_rows::I(1, 32831, "Eraze Device tvx"),
    menu_rows::S(1),
    menu_rows::I(1, 32839, "ReBoot Device"),
    menu_rows::S(1),
    menu_rows::I(1, 32808, "E&xit"),

    menu_rows::P(0, "Device &Mode"),
    menu_rows::I(1, 32770, "Phone - Audio Stream"),
    menu_rows::I(1, 32771, "Phone - Audio Stream - Line (Direct)"),
    menu_rows::I(1, 32772, "None"),
    menu_rows::I(1, 32773, "Phone -Line (Default)", kChecked),
    menu_rows::I(1, 32774, "Phone - Audio Stream, Line Hold"),
    menu_rows::I(1, 32775, "Line - Audio Stream"),
    menu_rows::I(1, 32776, "Phone - Audio Stream - Line"),
    menu_rows::I(1, 32777, "Line Audio Stream, Phone Monitor"),

    menu_rows::P(0, "&Audio"),
    menu_rows::I(1, 32786, "Use Head Set"),
    menu_rows::I(1, 32787, "Mute line"),
    menu_rows::I(1, 32788, "Mute Phone"),
    menu_rows::I(1, 32837, "Silent PC Audio Stream"),
    menu_rows::I(1, 32789, "USB Phone - Keypad Beep"),
    menu_rows::I(1, 32835, "Echo Supression", kChecked),
    menu_rows::S(1),
    menu_rows::P(1, "Auxilary Audio Content"),
    menu_rows::I(2, 32783, "CODEC", kChecked),
    menu_rows::I(2, 32784, "Wave Out"),
    menu_rows::I(2, 32785, "Wave Out Mixed with CODEC"),
    menu_rows::S(1),
    menu_rows::I(1, 32844, "Wiretapping"),
    menu_rows::S(1),
    menu_rows::I(1, 32838, "DAA Boost"),
    menu_rows::I(1, 32840, "CODEC Boost"),

    menu_rows::P(0, "&DAA Config."),
    menu_rows::I(1, 32794, "Normal (US/Canada)", kChecked),
    menu_rows::I(1, 32795, "Complex"),
    menu_rows::I(1, 32796, "Special Pulse dialing"),
    menu_rows::I(1, 32797, "Special Pulse dialing / Complex"),
    menu_rows::I(1, 32798, "CTR21"),
    menu_rows::I(1, 32799, "CTR21 / Complex"),

    menu_rows::P(0, "&Ringer"),
    menu_rows::P(1, "Frequency"),
    menu_rows::I(2, 32790, "17Hz"),
    menu_rows::I(2, 32791, "20Hz"),
    menu_rows::I(2, 32792, "25Hz (Default)", kChecked),
    menu_rows::I(2, 32793, "50Hz"),
    menu_rows::I(1, 32807, "Load Melody ..."),
    menu_rows::S(1),
    menu_rows::I(1, 32810, "Ring"),

    menu_rows::P(0, "D&ialing"),
    menu_rows::I(1, 32800, "Tones Dial", kChecked),
    menu_rows::I(1, 32801, "Pulse Dial"),
    menu_rows::S(1),
    menu_rows::P(1, "Pulse Dial Make/Break"),
    menu_rows::I(2, 32803, "39/61 @ 10 PPS US and Canada", kChecked),
    menu_rows::I(2, 32804, "33/67 @ 10 PPS UK and HK"),
    menu_rows::I(2, 32805, "39/61 @ 20 PPS"),
    menu_rows::I(2, 32806, "33/67 @ 20 PPS Japan"),

    menu_rows::P(0, "&Tone Generator"),
    menu_rows::I(1, 32811, "Dialtone", kChecked),
    menu_rows::I(1, 32812, "Ring Back"),
    menu_rows::I(1, 32813, "Busy"),
    menu_rows::I(1, 32814, "Reorder"),
    menu_rows::I(1, 32815, "Proceeding"),
    menu_rows::S(1),
    menu_rows::I(1, 32816, "Infinite Beep"),
    menu_rows::I(1, 32817, "Beep"),
    menu_rows::I(1, 32818, "Receiver Off-Hook"),
    menu_rows::S(1),
    menu_rows::I(1, 32829, "Generate Tone"),

    menu_rows::P(0, "Mis&c."),
    menu_rows::I(1, 32827, "Generate Caller ID ..."),
    menu_rows::I(1, 32828, "CIDCW"),
    menu_rows::I(1, 32832, "USB Phone - Off H&ook"),
    menu_rows::I(1, 32825, "ScGenerateTones() API"),
    menu_rows::I(1, 32843, "LEDs Test ..."),
    menu_rows::S(1),
    menu_rows::I(1, 32826, "Driver Enabled", kChecked),
    menu_rows::S(1),
    menu_rows::I(1, 32836, "ReConnect"),

    menu_rows::P(0, "Setup"),
    menu_rows::I(1, 32833, "Distinctive Ring Patterns ..."),
    menu_rows::I(1, 32841, "International Hardware ..."),
    menu_rows::I(1, 32834, "International Tones ..."),
    menu_rows::S(1),
    menu_rows::I(1, 32842, "Hardware Chips ..."),

    menu_rows::P(0, "&Help"),
    menu_rows::I(1, 32809, "About ..."),
};

}  // namespace tvx::res

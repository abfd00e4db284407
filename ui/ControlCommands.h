// Sends a dialog's control notifications and menu choices to its command
// entry or straight into its routing, as command messages: every button and
// check box with a numeric id sends (id | kClicked << 16) when clicked (by
// the mouse, the space bar, its mnemonic or a screen reader), every
// drop-down list (id | kSelectionChange << 16) for each item the user
// selects (see res/DropDownSelection.h), every menu item
// (id | kClicked << 16) when chosen. Changes made by code send nothing.
// UI thread only.
#pragma once

#include "res/DropDownSelection.h"
#include "res/MainMenu.h"
#include "ui/MessageMap.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace tvx {

// onCommand receives the command's first argument and the sending control.
inline void ConnectControlCommands(QWidget &dialog, std::function<void(uint32_t wParam, QWidget *control)> onCommand)
{
    const auto numericId = [](const QObject *control, uint16_t &id) {
        bool numeric = false;
        id = static_cast<uint16_t>(control->objectName().toUInt(&numeric));
        return numeric;
    };
    uint16_t id = 0;
    for (QAbstractButton *button : dialog.findChildren<QAbstractButton *>()) {
        if (numericId(button, id))
            QObject::connect(button, &QAbstractButton::clicked, &dialog, [onCommand, id, button] {
                onCommand(MakeCommandArg(id, kClicked), button);
            });
    }
    for (QComboBox *combo : dialog.findChildren<QComboBox *>()) {
        if (numericId(combo, id))
            res::NotifySelectionChanges(
                combo, [onCommand, id, combo](int) { onCommand(MakeCommandArg(id, kSelectionChange), combo); });
    }
}

// Routes the dialog's control notifications into messages, which must last while they can come.
inline void ConnectControlCommands(QWidget &dialog, MessageMap &messages)
{
    ConnectControlCommands(dialog, [&messages](uint32_t wParam, QWidget *) { messages.Route(wParam); });
}

// Routes the menu's choices into messages, which must last while they can come.
inline void ConnectMenuCommands(res::MainMenu &menu, MessageMap &messages)
{
    QObject::connect(&menu, &res::MainMenu::Chosen, &menu, [&messages](uint16_t id) {
        messages.Route(MakeCommandArg(id, kClicked));
    });
}

}  // namespace tvx

// Helpers for the tests of the menu commands: the library calls as text with
// the bytes they passed, and the check marks of the whole menu.
#pragma once

#include "res/MainMenu136.h"
#include "tests/support/MainDialogFixture.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tvx::test {

using Marks = std::map<uint16_t, bool>;

class CommandsTest : public MainDialogTest {
protected:
    // Creates the dialog and forgets the calls of the open.
    CControlMonitorDlg &CreateClean()
    {
        Create();
        stub::ClearCalls();
        return Dialog();
    }

    // Every call since the last ClearCalls, as "ScDoCommand(58, 0, 0, 65535)",
    // followed by " bytes=" and the passed record bytes in hex when there are any.
    static std::vector<std::string> Described()
    {
        std::vector<std::string> out;
        for (const stub::Call &call : stub::Calls()) {
            std::string text = call.text;
            if (!call.bytes.empty()) {
                text += " bytes=";
                char two[3];
                for (uint8_t byte : call.bytes) {
                    std::snprintf(two, sizeof two, "%02X", byte);
                    text += two;
                }
            }
            out.push_back(text);
        }
        return out;
    }

    // The check mark of every menu item.
    Marks AllMarks()
    {
        Marks marks;
        for (uint16_t id : kAllMenuIds)
            marks[id] = Checked(id);
        return marks;
    }

    // The command message of a menu choice, straight to the dialog.
    bool Command(uint16_t id, uint16_t notification = kClicked)
    {
        return Dialog().OnCommand(MakeCommandArg(id, notification), nullptr);
    }
};

// A menu command's call as the stand-in records it.
inline std::string Do(int code, int param = 0)
{
    return "ScDoCommand(" + std::to_string(code) + ", " + std::to_string(param) + ", 0, 65535)";
}

// The marks with some changed.
inline Marks With(Marks marks, const std::vector<std::pair<uint16_t, bool>> &changes)
{
    for (const auto &[id, checked] : changes)
        marks[id] = checked;
    return marks;
}

}  // namespace tvx::test

#include "MenuDispatcher.h"

namespace tvx {

namespace {
constexpr uint16_t kIdDriverEnabled = 32826;
}  // namespace

MenuDispatcher::MenuDispatcher(DialogHost &host) : host_(host) {}

bool MenuDispatcher::OnCommand(uint32_t wParam, void *)
{
    if (CommandNotification(wParam) == kClicked)
        Dispatch(CommandId(wParam));
    return host_.Messages().Route(wParam);
}

void MenuDispatcher::Dispatch(uint16_t id)
{
    if (id == kIdDriverEnabled)
        host_.OnDriverEnabled();
}

}  // namespace tvx

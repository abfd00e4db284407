// The dialog's standard command routing: handlers bound to a command or
// control id and a notification code, as a message map binds them. The one
// table every command goes through, menu items and controls alike; binding
// a command again replaces its handler. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace tvx {

// Notification codes carried in the high 16 bits of a command's first argument.
enum Notification : uint16_t {
    kClicked = 0,         // button click, and every menu choice
    kSelectionChange = 1  // drop-down list selection changed by the user
};

constexpr uint32_t MakeCommandArg(uint16_t id, uint16_t notification)
{
    return static_cast<uint32_t>(id) | (static_cast<uint32_t>(notification) << 16);
}
constexpr uint16_t CommandId(uint32_t arg) { return static_cast<uint16_t>(arg & 0xFFFFu); }
constexpr uint16_t CommandNotification(uint32_t arg) { return static_cast<uint16_t>(arg >> 16); }

class MessageMap {
public:
    using Handler = std::function<void()>;

    void Bind(uint16_t id, uint16_t notification, Handler handler)
    {
        handlers_[{id, notification}] = std::move(handler);
    }

    // Runs the handler bound to the command, if any; true if one ran.
    bool Route(uint32_t arg) const
    {
        const auto found = handlers_.find({CommandId(arg), CommandNotification(arg)});
        if (found == handlers_.end())
            return false;
        found->second();
        return true;
    }

private:
    std::map<std::pair<uint16_t, uint16_t>, Handler> handlers_;
};

}  // namespace tvx

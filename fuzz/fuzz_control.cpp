// Fuzzes the control socket's request handling without a socket: arbitrary
// bytes, cut into reads of varying sizes, are framed, parsed and applied
// to a real signal engine. Every reply is one line, and a request refused
// with an error leaves the state exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/control/ControlConnection.h"
#include "tests/support/EngineDoor.h"

namespace {

using tvxtest::EngineDoor;

tvxsim::StateValues Values(EngineDoor &door)
{
    tvxsim::AdapterState s;
    door.Snapshot(s);
    return tvxsim::StateValuesOf(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the size of the reads.
    const size_t chunk = 1 + data[0] % 64 * 97;
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);

    EngineDoor door;
    tvxsim::ControlConnection c;
    std::vector<std::string> out;
    int requests = 0;
    while (!rest.empty() && c.Room() > 0) {
        const size_t n = std::min({rest.size(), chunk, c.Room()});
        c.Receive(rest.substr(0, n));
        rest.remove_prefix(n);
        for (;;) {
            const tvxsim::StateValues before = Values(door);
            out.clear();
            if (!c.HandleNext(door, out))
                break;
            if (out.empty() || out.size() > tvxsim::ControlConnection::kMaxReplyLines)
                std::abort();
            for (const std::string &line : out)
                if (line.find_first_of("\r\n") != std::string::npos)
                    std::abort();
            if (out.size() == 1 && out[0].rfind("error", 0) == 0 && Values(door) != before)
                std::abort();  // an error changed something
            if (++requests % 8 == 0)
                door.Step();  // let the model act on what it was told
        }
    }
    door.Step(5);
    return 0;
}

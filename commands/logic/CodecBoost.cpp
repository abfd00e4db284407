#include "commands/logic/CodecBoost.h"

namespace tvx {

void RunCodecBoost(bool on, CodecBoostSink &sink)
{
    if (!on) {
        for (const RegisterWrite &w : CodecBoostOffWrites())
            sink.Write(w);
        return;
    }
    // The first write does not depend on the device type; ask for it only
    // once that write has been made.
    sink.Write(CodecBoostOnWrites(0)[0]);
    sink.Write(CodecBoostOnWrites(sink.DeviceType())[1]);
}

}  // namespace tvx

// A SIP line made from a configuration text, its fake exchange, and the
// waits the peer tests share.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "simulator/sip/SipLine.h"
#include "simulator/sip/logic/LineConfig.h"
#include "tests/sip/FakeExchange.h"
#include "tests/sip/PeerProcess.h"

namespace tvxsim::sip::test {

// The line of `conf` (which must parse), listening on 127.0.0.1 at a port
// of the system's choosing unless `conf` says otherwise, its exchange,
// waiting (at most 5 s) until it listens.
struct LineUnderTest {
    explicit LineUnderTest(const std::string &conf, const std::string &passwordPath = {}, LineTimings timings = {})
    {
        const ConfigResult r = ParseLineConfig(conf);
        if (r.error) {
            ADD_FAILURE() << r.error->key << ": " << r.error->reason;
            return;
        }
        line = std::make_unique<SipLine>(r.config, passwordPath, timings);
        for (int i = 0; i < 500 && !line->Up(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(line->Up()) << "the line listens";
        exchange = std::make_unique<FakeExchange>(*line);
    }
    ~LineUnderTest()
    {
        exchange.reset();
        line.reset();
    }
    // The port the line listens on.
    int Port() const
    {
        const std::string listen = line->Status().listen;
        return std::stoi(listen.substr(listen.rfind(':') + 1));
    }

    std::unique_ptr<SipLine> line;
    std::unique_ptr<FakeExchange> exchange;
};

#define TVX_NEED_PROGRAM(name)                                                                                         \
    do {                                                                                                               \
        if (!HaveProgram(name))                                                                                        \
            GTEST_SKIP() << name << " is not installed (scripts/install-deps.sh installs it)";                         \
    } while (false)

}  // namespace tvxsim::sip::test

#pragma once
// The real link (POSIX serial port, frame exchange, command transaction) talking
// to the simulated scale over a real pseudo-terminal.

#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <gtest/gtest.h>
#include <memory>

class ScaleOverPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 115200)) << link.openFailure().reason;
    }

    // Attempts and purges of the last exchange.
    ScaleLink::Statistics lastExchange() {
        ScaleLink::Statistics now = link.statistics();
        ScaleLink::Statistics delta{now.exchanges - seen_.exchanges, now.attempts - seen_.attempts,
                                    now.purges - seen_.purges};
        seen_ = now;
        return delta;
    }

    sim::SimulatedScale scale;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};

  private:
    ScaleLink::Statistics seen_{};
};

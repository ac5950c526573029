#pragma once
// The real link over a pseudo-terminal to the simulated scale, and the page
// context a window is built with.

#include "gui/page_context.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "sim/simulated_scale.h"
#include "tests/support/recording_ui.h"

#include <gtest/gtest.h>
#include <memory>

class SimulatedLink : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scale.start());
        ASSERT_TRUE(link.openLink(PortId::named(scale.device()), 115200)) << link.openFailure().reason;
    }

    sim::SimulatedScale scale;
    RecordingUi ui;
    ScaleLink link{std::make_unique<PosixSerialChannel>(), ui};
    RememberedText remembered;
    PageContext context{link, ui, remembered, '.'};
};

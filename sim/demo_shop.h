#pragma once
// The demo shop, built into the simulated scale: a greengrocer with a small
// deli counter (sim/demo_seed.txt, compiled in), so a demo needs no file
// beside the program.

#include "sim/simulated_scale.h"

#include <string_view>

namespace sim {

// The seed text of the demo shop, as sim/demo_seed.txt holds it.
std::string_view demoShopSeed();

// The memory the demo shop's seed describes.
ScaleMemory demoShopMemory();

} // namespace sim

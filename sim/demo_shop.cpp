#include "sim/demo_shop.h"

#include "sim/seed_file.h"

#include <sstream>

namespace sim {

ScaleMemory demoShopMemory() {
    ScaleMemory memory = blankMemory();
    std::istringstream seed{std::string(demoShopSeed())};
    // The seed is checked by the tests; a blank scale stands should it ever not parse.
    parseSeed(seed, memory, nullptr);
    return memory;
}

} // namespace sim

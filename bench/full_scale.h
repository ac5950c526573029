#pragma once
// A scale that holds as much as it can: every PLU in use with a name of full
// width, and every settings text at its full width, so every reply carries
// as many bytes as it can.

#include "sim/scale_records.h"
#include "sim/simulated_scale.h"

#include <string>

inline void fillEveryPlu(sim::ScaleMemory& memory) {
    for (int plu = 0; plu < sim::kPluCount; ++plu) {
        sim::PluFields fields;
        fields.price = 100 + plu;
        fields.code = 2000000 + plu;
        fields.department = static_cast<std::uint8_t>(plu % 40);
        fields.tax = static_cast<std::uint8_t>(plu % 8);
        fields.name = "ITEM NUMBER " + std::to_string(plu) + " OF THE TABLE ......";
        fields.name.resize(sim::kPluNameWidth, '.');
        fields.quantity = plu * 7;
        fields.total = plu * 13;
        fields.count = static_cast<std::int16_t>(plu % 100);
        memory.plu[static_cast<std::size_t>(plu)] = sim::encodePlu(fields);
    }
}

// The same table put into a running simulated scale.
inline void fillScaleWithFullTable(sim::SimulatedScale& scale) {
    scale.withMemory([](sim::ScaleMemory& memory) {
        fillEveryPlu(memory);
        return 0;
    });
}

inline void fillEverySetting(sim::ScaleMemory& memory) {
    for (std::string& name : memory.clerkNames) {
        name = "CLERK NAME 16 CH";
    }
    for (std::string& line : memory.printLines) {
        line = "A RECEIPT LINE OF THIRTY-TWO CH.";
    }
    for (std::string& name : memory.departmentNames) {
        name = "DEPARTMENT 16 CH";
    }
}

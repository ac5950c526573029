#include "scale_work.h"

#include "link/commands.h"
#include "link/scale_link.h"

namespace {
constexpr std::uint8_t kIdentificationWidth = 32;
} // namespace

std::optional<ScaleIdentity> identifyScale(ScaleLink& link) {
    link.buffer().clear();
    if (!link.runCommand(cmd::kIdentify)) {
        return std::nullopt;
    }
    ScaleIdentity identity;
    identity.status = link.buffer().responseByte(0);
    identity.text = link.buffer().getText(kIdentificationWidth);
    return identity;
}

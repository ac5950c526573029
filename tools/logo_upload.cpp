#include "logo_upload.h"

#include "link/commands.h"
#include "link/scale_link.h"

namespace {

constexpr std::uint16_t kHeightOffset = 0; // logo memory: the height byte, then the rows
constexpr std::uint16_t kFirstRowOffset = 1;

} // namespace

bool sendLogo(ScaleLink& link, const LogoBitmap& logo, const std::function<void(int row)>& rowSent) {
    MessageBuffer& buffer = link.buffer();
    buffer.clear();
    buffer.putU16(kHeightOffset);
    buffer.putU8(static_cast<std::uint8_t>(logo.height));
    if (!link.runCommand(cmd::kWriteLogo)) {
        return false;
    }
    for (int y = 0; y < logo.height; ++y) {
        buffer.clear();
        buffer.putU16(static_cast<std::uint16_t>(kFirstRowOffset + kLogoRowBytes * y));
        for (const std::uint8_t byte : logo.row(y)) {
            buffer.putU8(byte);
        }
        if (!link.runCommand(cmd::kWriteLogo)) {
            return false;
        }
        if (rowSent) {
            rowSent(y);
        }
    }
    return true;
}

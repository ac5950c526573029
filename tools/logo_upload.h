#pragma once
// Sending the logo into the scale's logo memory with command 36: a header
// with the height at offset 0, then one request per row from offset 1 on.

#include "logo_conversion.h"

#include <functional>

class ScaleLink;

// Stops at the first exchange that fails (runCommand has reported it) and
// returns false. rowSent(y) is called after row y was stored.
bool sendLogo(ScaleLink& link, const LogoBitmap& logo, const std::function<void(int row)>& rowSent);

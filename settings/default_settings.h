#pragma once
// "Default Set": the factory values of most of the settings page, ready to be
// sent. Talks to nobody; "Clerk Mode", the tax rates and the clock keep what
// they hold.

#include "scale_settings.h"

void applyDefaultSettings(ScaleSettings& settings);

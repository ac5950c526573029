#pragma once
// The regional forms of the platform the program is built for: the user's
// settings as the system keeps them. Chosen at build time, like the serial
// channel (link/platform_serial_channel.h).

#include "regional_forms.h"

#include <memory>

std::unique_ptr<RegionalForms> makeSystemRegionalForms();

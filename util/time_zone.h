// The computer's current time-zone bias, read from the operating system.
#pragma once

#include <optional>

// UTC minus local time in minutes, with the daylight-saving shift now in force (-540 for Japan);
// nullopt when the system cannot tell.
std::optional<int> SystemTimeZoneBiasMinutes();

#pragma once

#include "config/config_file.h"

#include <QString>

#include <cstdint>

namespace grainlink {

// Serial port numbers run from 1 to 10.
inline constexpr int16_t kFirstPortNumber = 1;
inline constexpr int16_t kLastPortNumber = 10;

// The device path of serial port number n: [Serial] Port<n> for n = 1..10, default
// /dev/ttyS<n-1>; a symbolic link is a valid path. Empty for any other port number.
QString PortDevicePath(const ConfigFile& config, int16_t portNumber);

}  // namespace grainlink

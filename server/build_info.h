#pragma once

#include <QString>

namespace grainlink {

inline constexpr char kProductVersion[] = "2.0";

// "Version 2.0", as the splash window and the about box show it.
QString VersionText();
// The platform this build was made for, such as "Debian GNU/Linux 12 (bookworm), x86_64".
QString BuiltForPlatform();
// The platform the program runs on now, such as "Debian GNU/Linux 12 (bookworm), kernel
// 6.1.0-18-amd64, x86_64".
QString RunningOnPlatform();

}  // namespace grainlink

#pragma once
// The names under which tarnwick.rc embeds the program's icons and pictures. The resource script cannot
// include C++, so it spells the same names itself; the Windows resource test looks each of these up in a
// module built from the script, which keeps the two in step.

#include "toolkit/ApplicationIcon.h"

namespace tarnwick {

// Icon groups. The application icon (ApplicationIconName, the toolkit loads it) sorts first among them,
// so that it is the program's icon.
inline constexpr char16_t InternetOffIconName[] = u"ZTARNWICKICON";
inline constexpr char16_t InternetOnIconName[] = u"ZINTERNETONICON";

// PNG pictures, stored as raw data (RT_RCDATA).
inline constexpr char16_t InternetOnPictureName[] = u"PNG_INTERNET_ON";   // 48 x 48, the globe
inline constexpr char16_t InternetOffPictureName[] = u"PNG_INTERNET_OFF"; // 48 x 48, the globe crossed out
inline constexpr char16_t ProductPictureName[] = u"PNG_PRODUCT";          // 128 x 128, for the About window
// Each picture is also rendered for 150 % and 200 % display scale: its name followed by "_150" or "_200".

} // namespace tarnwick

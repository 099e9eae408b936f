#pragma once
// The name of the icon resource that the application, its windows and its taskbar button show. The
// program's resource script embeds its icon under this name (app/resources/tarnwick.rc).

namespace tarnwick {

inline constexpr char16_t ApplicationIconName[] = u"MAINICON";

} // namespace tarnwick

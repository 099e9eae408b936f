#pragma once
// The product version as the program's version resource states it, so that the About window shows what
// Explorer's properties, the installer and Add/Remove Programs show.

#include <cstdint>
#include <span>
#include <string>

namespace tarnwick {

// "major.minor.patch" (".build" added when not 0) of a VS_VERSIONINFO block's fixed file information;
// empty when the block is not one.
std::u16string ProductVersionOf(std::span<const std::uint8_t> VersionInfo);

} // namespace tarnwick

#pragma once
// Redirects the calls a module makes through its import table: every import-address-table entry of a
// library that holds one function's address is overwritten with another.

#include <cstdint>
#include <string_view>

#include "platform/ProcessImagePlatform.h"

namespace tarnwick {

// Walks every import descriptor of LibraryName (ASCII case ignored) in the 64-bit image at Module and
// writes NewAddress over each entry that holds OldAddress. Answers whether at least one entry was
// replaced; false as well when the headers are unreadable or not those of a PE image with imports.
bool ReplaceImportedFunction(IProcessImagePlatform& Platform, HMODULE_T Module,
                             std::u16string_view LibraryName, std::uintptr_t OldAddress,
                             std::uintptr_t NewAddress);

} // namespace tarnwick

#pragma once
// The simulated machine of the Wine benchmark, as the test double's machine file holds it.

#include <cstddef>
#include <string>

std::string BenchMachineText(std::size_t devices, std::size_t adapters);

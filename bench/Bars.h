// Every performance bar in one place: the most each figure may be against its floor, measured side by side
// in one interleaved run (a ratio), and the size of the program as it ships (bytes). The native benchmarks
// and the Wine benchmark include it; bench/wine/run-wine-bench.sh reads StrippedSizeBar from it.
#pragma once

namespace tarnwick::bench {

// Native, over the simulator: our code against the bare platform calls (or plain line reading).
constexpr double DeviceEnumerationBar = 8.0;
constexpr double NetworkSwitchBar = 3.0;
// Five times the devices: a switch whose cost grows once with the machine takes about five times as long.
constexpr double NetworkSwitchGrowthBar = 6.0;
constexpr double MapScanBar = 3.0;
// An 8 MB map against a 1 MB one: a linear scan takes about eight times as long.
constexpr double MapScanGrowthBar = 10.0;

// Under Wine: tarnwick.exe against its floor programs.
constexpr double StartUpBar = 1.2;
constexpr double SwitchBar = 1.2;
constexpr double MemoryBar = 1.5;
// Idle in the tray: processor clock ticks and wake-ups of the process over the idle time.
constexpr long long IdleTicksBar = 0;
constexpr long long IdleWakeUpsBar = 0;

// The stripped tarnwick.exe, resources included, in bytes (read by the script: keep it one plain number).
constexpr long long StrippedSizeBar = 700000;

} // namespace tarnwick::bench

#include "BenchMachine.h"

#include "fixtures/GeneratedMachine.h"
#include "simulator/MachineFile.h"

std::string BenchMachineText(std::size_t devices, std::size_t adapters) {
    tarnwick::sim::TDeviceSimulator machine;
    tarnwick::testing::GenerateMachine(machine, devices, adapters);
    return tarnwick::sim::SaveMachine(machine);
}

#pragma once
// The RCDATA resources of the program's own module, for the services table.
#include "platform/ProgramResources.h"

class TWin32ProgramResources : public IProgramResources {
public:
    std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override;
};

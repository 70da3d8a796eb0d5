#pragma once
// Resources carried inside the program (the RCDATA section on Windows; the
// embedded archives of a native build).
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class IProgramResources {
public:
    virtual ~IProgramResources() = default;
    // The bytes of the named resource (names compare case-insensitively), or
    // nothing. The bytes live as long as the program.
    virtual std::optional<std::span<const std::uint8_t>> Find(const std::string& name) = 0;
};

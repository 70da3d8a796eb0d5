#pragma once
// Named semaphores (the single-instance guard).
#include <memory>
#include <string>

class INamedSemaphore {
public:
    virtual ~INamedSemaphore() = default; // closes the handle
};

class ISemaphoreFactory {
public:
    virtual ~ISemaphoreFactory() = default;
    // Creates the named semaphore (initial count 0, maximum 1); alreadyExists reports
    // that another process holds one of that name.
    virtual std::unique_ptr<INamedSemaphore> Create(const std::string& name, bool& alreadyExists) = 0;
};

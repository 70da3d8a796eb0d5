#pragma once
// The refill side of an event-driven wave output. The system plays the ring's
// buffers in order, marks each one done when it has played it and signals; a
// thread of our own then refills every done buffer in ring order and hands it
// back. Nothing is mixed or written on the system's thread, and no lock is held
// while the system is called, so no system callback can wait on us.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "platform/WaveOutput.h"

// What the system offers for one ring of buffers.
class IWaveRingDriver {
public:
    // The system has finished playing buffer index (it is ours again).
    virtual bool Done(int index) = 0;
    // Hands buffer index, just filled, to the system.
    virtual void Write(int index) = 0;
    // Blocks until the system signals that a buffer is done, or until Wake.
    virtual void Wait() = 0;
    virtual void Wake() = 0;
    virtual std::uint8_t* Data(int index) = 0;
    virtual std::size_t Length(int index) = 0;

protected:
    ~IWaveRingDriver() = default;
};

class TWaveRefillThread {
public:
    TWaveRefillThread() = default;
    ~TWaveRefillThread() { Stop(); }
    TWaveRefillThread(const TWaveRefillThread&) = delete;
    TWaveRefillThread& operator=(const TWaveRefillThread&) = delete;

    // Fills and writes every buffer of the ring in order on the caller's thread,
    // then starts the thread that keeps the ring full.
    void Start(IWaveRingDriver& driver, TWaveSource& source, int count);
    // Ends the thread and returns once it has left FillBuffer; buffers still
    // queued stay with the system (the caller resets the output afterwards).
    void Stop();
    bool Running() const { return thread_.joinable(); }
    long Refills() const { return refills_.load(); }

private:
    void Run();
    void Loop();
    IWaveRingDriver* driver_ = nullptr;
    TWaveSource* source_ = nullptr;
    int count_ = 0;
    int next_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long> refills_{0};
    std::thread thread_;
};

#include "sound/WaveRefill.h"

void TWaveRefillThread::Start(IWaveRingDriver& driver, TWaveSource& source, int count)
{
    Stop();
    driver_ = &driver;
    source_ = &source;
    count_ = count;
    next_ = 0;
    refills_.store(0);
    for (int i = 0; i < count_; ++i) {
        source_->FillBuffer(driver_->Data(i), driver_->Length(i));
        driver_->Write(i);
    }
    stop_.store(false);
    thread_ = std::thread([this] { Run(); });
}

void TWaveRefillThread::Stop()
{
    if (!thread_.joinable())
        return;
    stop_.store(true);
    driver_->Wake();
    thread_.join();
}

void TWaveRefillThread::Run()
{
    try {
        Loop();
    } catch (...) {
        // Nothing may end the program from this thread; the ring just runs dry.
    }
}

void TWaveRefillThread::Loop()
{
    while (!stop_.load()) {
        driver_->Wait();
        // One signal may stand for several finished buffers.
        while (!stop_.load() && driver_->Done(next_)) {
            source_->FillBuffer(driver_->Data(next_), driver_->Length(next_));
            driver_->Write(next_);
            next_ = (next_ + 1) % count_;
            refills_.fetch_add(1);
        }
    }
}

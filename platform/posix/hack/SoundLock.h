#pragma once
// One sound per display: xscreensaver starts one process per monitor, and only
// the process that holds the display's lock file plays. The lock is an flock on
// a file under $XDG_RUNTIME_DIR (else /tmp), held until the process ends.
#include <string>

// The lock file of a display: DIR/pyrelume-sound-<display>.lock, with every
// character of the display name other than letters, digits, '.', ':' and '-'
// replaced by '_'; /tmp names carry the user id too.
std::string SoundLockPath(const std::string& displayKey, const char* runtimeDir, unsigned uid);

class TSoundLock {
public:
    TSoundLock() = default;
    ~TSoundLock();
    TSoundLock(const TSoundLock&) = delete;
    TSoundLock& operator=(const TSoundLock&) = delete;

    // True when this process now holds the lock of the path (false when
    // another holds it or the file cannot be made).
    bool Acquire(const std::string& path);

private:
    int fd_ = -1;
};

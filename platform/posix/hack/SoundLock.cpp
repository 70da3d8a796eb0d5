#include "platform/posix/hack/SoundLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>

std::string SoundLockPath(const std::string& displayKey, const char* runtimeDir, unsigned uid)
{
    std::string name;
    for (const char c : displayKey)
        name += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == ':' || c == '-') ? c : '_';
    if (runtimeDir && *runtimeDir)
        return std::string(runtimeDir) + "/pyrelume-sound-" + name + ".lock";
    return "/tmp/pyrelume-" + std::to_string(uid) + "-sound-" + name + ".lock";
}

TSoundLock::~TSoundLock()
{
    if (fd_ >= 0)
        close(fd_);
}

bool TSoundLock::Acquire(const std::string& path)
{
    if (fd_ >= 0)
        return true;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

#pragma once
// The system's screen-saver password libraries.
#include <string>

#include "platform/PlatformTypes.h"

enum class TPasswordResult { prAccepted, prRejected, prUnavailable };

class IPasswordCheck {
public:
    virtual ~IPasswordCheck() = default;
    // Loads systemDir + "PASSWORD.CPL", calls "VerifyScreenSavePwd" with owner and frees
    // the library; prUnavailable when the library or the function is missing.
    virtual TPasswordResult VerifyPassword(const std::string& systemDir, TWindowHandle owner) = 0;
    // Loads systemDir + "MPR.DLL" and calls "PwdChangePasswordA"("SCRSAVE", parent, 0, 0);
    // nothing when missing.
    virtual void ChangePassword(const std::string& systemDir, TWindowHandle parent) = 0;
};

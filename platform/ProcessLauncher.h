#pragma once
// Starting processes and opening files through the shell.
#include <memory>
#include <string>

enum class TExecWindowStyle { ewShow, ewHide, ewMaximize, ewMinimize };
enum class TExecPriority { epNormal, epHigh, epIdle, epRealTime };

class IRunningProcess {
public:
    virtual ~IRunningProcess() = default;
    virtual bool StillActive() = 0;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts commandLine as a new process (handles not inherited). On failure returns
    // nullptr and puts the system's error text into errorText.
    virtual std::unique_ptr<IRunningProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                                          TExecWindowStyle style, TExecPriority priority,
                                                          std::string& errorText) = 0;
    // Opens a file or program through the shell with the verb "open".
    virtual void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                           TExecWindowStyle style) = 0;
    // Lowers the running process to idle priority.
    virtual void SetOwnPriorityIdle() = 0;
};

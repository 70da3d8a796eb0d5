#pragma once
// A small process launcher: starts a command line as a new process (optionally
// waiting while the message loop keeps running) or opens it through the shell.
#include <string>

#include "platform/ApplicationHost.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemClock.h"

enum class TExecMode { emAuto, emProcess, emShell };

class TExecutePro {
public:
    TExecutePro(IProcessLauncher* launcher, IApplicationHost* host, IClock* clock)
        : launcher_(launcher), host_(host), clock_(clock)
    {
    }

    const std::string& CommandLine() const { return commandLine_; }
    // Also fills DefaultDirectory (when empty) with the command line's folder and
    // splits the file part into program and parameters at the first space after
    // its last ".".
    void SetCommandLine(const std::string& commandLine);
    const std::string& ProgramPart() const { return program_; }
    const std::string& ParameterPart() const { return parameters_; }

    std::string DefaultDirectory;
    TExecWindowStyle WindowStyle = TExecWindowStyle::ewMinimize;
    TExecPriority Priority = TExecPriority::epNormal;
    TExecMode Mode = TExecMode::emAuto;
    bool Wait = true;

    void Execute(const std::string& commandLine);

private:
    void ProcessExecute();
    void ShellExecute();

    IProcessLauncher* launcher_;
    IApplicationHost* host_;
    IClock* clock_;
    std::string commandLine_, program_, parameters_;
};

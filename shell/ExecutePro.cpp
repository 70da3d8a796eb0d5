#include "shell/ExecutePro.h"

#include <cctype>

namespace {

std::string LowerCase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

void TExecutePro::SetCommandLine(const std::string& commandLine)
{
    commandLine_ = commandLine;
    // Windows path separators only: parameters often start with "/".
    const std::size_t slash = commandLine.find_last_of("\\:");
    const std::string folder = slash == std::string::npos ? std::string() : commandLine.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? commandLine : commandLine.substr(slash + 1);
    if (DefaultDirectory.empty())
        DefaultDirectory = folder;
    const std::size_t dot = file.find_last_of('.');
    const std::size_t space = file.find(' ', dot == std::string::npos ? 0 : dot);
    if (space == std::string::npos) {
        program_ = file;
        parameters_.clear();
    } else {
        program_ = file.substr(0, space);
        parameters_ = file.substr(space + 1);
    }
}

void TExecutePro::Execute(const std::string& commandLine)
{
    SetCommandLine(commandLine);
    TExecMode mode = Mode;
    if (mode == TExecMode::emAuto)
        mode = LowerCase(program_).find(".exe") != std::string::npos ? TExecMode::emProcess : TExecMode::emShell;
    if (mode == TExecMode::emProcess)
        ProcessExecute();
    else
        ShellExecute();
}

void TExecutePro::ProcessExecute()
{
    if (!launcher_)
        return;
    std::string errorText;
    auto process = launcher_->StartProcess(commandLine_, DefaultDirectory, WindowStyle, Priority, errorText);
    if (!process) {
        if (host_)
            host_->ShowMessage("TExecutePro.ProcessExecute error:  CommandLine: " + commandLine_ +
                                  " DefaultDirectory: " + DefaultDirectory + " Message: " + errorText,
                              host_->Title(), TMessageIcon::miError);
        return;
    }
    if (!Wait)
        return;
    while (process->StillActive() && !(host_ && host_->Terminated())) {
        if (host_)
            host_->ProcessMessages();
        if (clock_)
            clock_->Sleep(100);
    }
}

void TExecutePro::ShellExecute()
{
    if (!launcher_)
        return;
    std::string program = program_;
    TExecWindowStyle style = WindowStyle;
    if (LowerCase(program).find(".exe") == std::string::npos) {
        program.clear();
        style = TExecWindowStyle::ewHide;
    }
    launcher_->ShellOpen(program, parameters_, DefaultDirectory, style);
}

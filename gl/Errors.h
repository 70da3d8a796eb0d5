#pragma once
// The one exception type of the project. Messages name the class and the
// operation, then "error:" and the reason, e.g.
// "TGLTexture.SetWidth error: Width is not power 2".
#include <stdexcept>
#include <string>
#include <string_view>

class EPyrelumeError : public std::runtime_error {
public:
    explicit EPyrelumeError(const std::string& message) : std::runtime_error(message) {}
};

// Builds "<cls>.<op> error: <reason>".
std::string ErrorText(std::string_view cls, std::string_view op, std::string_view reason);

// Throws EPyrelumeError with ErrorText(cls, op, reason).
[[noreturn]] void RaiseError(std::string_view cls, std::string_view op, std::string_view reason);

// Throws EPyrelumeError with a message used exactly as given.
[[noreturn]] void RaiseMessage(const std::string& message);

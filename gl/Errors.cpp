#include "gl/Errors.h"

std::string ErrorText(std::string_view cls, std::string_view op, std::string_view reason)
{
    std::string s;
    s.reserve(cls.size() + op.size() + reason.size() + 9);
    s.append(cls).append(".").append(op).append(" error: ").append(reason);
    return s;
}

void RaiseError(std::string_view cls, std::string_view op, std::string_view reason)
{
    throw EPyrelumeError(ErrorText(cls, op, reason));
}

void RaiseMessage(const std::string& message)
{
    throw EPyrelumeError(message);
}

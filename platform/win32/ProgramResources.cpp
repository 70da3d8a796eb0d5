#include "platform/win32/ProgramResources.h"

#include <windows.h>

#include <string>


std::optional<std::span<const std::uint8_t>> TWin32ProgramResources::Find(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    // The module of the running program; resource names are found case-insensitively.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info)
        return std::nullopt;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle)
        return std::nullopt;
    const void* bytes = LockResource(handle);
    const DWORD size = SizeofResource(module, info);
    if (!bytes && size != 0)
        return std::nullopt;
    // Resource memory lives as long as the module; nothing to free.
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), size);
}

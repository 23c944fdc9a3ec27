// The operating-system services the generation run uses, behind one interface so that
// tests can stand in for a machine short of memory or a file system that misbehaves.
#pragma once

#include <cstdint>
#include <string>

namespace gridloom {

class ISystemServices {
public:
    virtual ~ISystemServices() = default;
    virtual uint32_t AvailablePhysicalMB() = 0;                       // see Memory.h
    virtual uint32_t GetFileAttributes(const std::string& path) = 0;  // see FileAttributes.h
    virtual bool SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual bool ShellOpen(const std::string& url) = 0;  // see Shell.h
};

// The real services of this machine.
ISystemServices& SystemServices();

}  // namespace gridloom

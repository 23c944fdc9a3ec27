// The system's services for tests: the real files and their attributes, a scripted memory
// figure, and a browser that is never started (the addresses it was asked to open are kept).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/SystemServices.h"

namespace gridloom::test {

class TFakeServices : public ISystemServices {
public:
    uint32_t MemoryMB = 4096;
    std::vector<std::string> Opened;

    uint32_t AvailablePhysicalMB() override { return MemoryMB; }
    uint32_t GetFileAttributes(const std::string& path) override { return gridloom::GetFileAttributes(path); }
    bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
        return gridloom::SetFileAttributes(path, attributes);
    }
    bool ShellOpen(const std::string& url) override {
        Opened.push_back(url);
        return true;
    }
};

}  // namespace gridloom::test

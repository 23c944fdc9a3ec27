#include "platform/SystemServices.h"

#include "platform/FileAttributes.h"
#include "platform/Memory.h"
#include "platform/Shell.h"

namespace gridloom {

namespace {
class TRealSystemServices final : public ISystemServices {
public:
    uint32_t AvailablePhysicalMB() override { return gridloom::AvailablePhysicalMB(); }
    uint32_t GetFileAttributes(const std::string& path) override { return gridloom::GetFileAttributes(path); }
    bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
        return gridloom::SetFileAttributes(path, attributes);
    }
    bool ShellOpen(const std::string& url) override { return gridloom::ShellOpen(url); }
};
}  // namespace

ISystemServices& SystemServices() {
    static TRealSystemServices services;
    return services;
}

}  // namespace gridloom

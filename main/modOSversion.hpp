// Names the Windows version the program runs on; only the edge snapping asks.
#pragma once

#include "platform/WindowsApi.hpp"

#include <cstdint>
#include <string>

namespace gridlark {

struct WindowsVersion {
    std::string Name;
    std::string VersionText;
};

class modOSversion {
public:
    // Asks the system anew on every call.
    WindowsVersion GetWindowsVersion(tk::WindowsApi& api);

private:
    tk::win::OSVERSIONINFOA osv_{};
    std::int32_t major_ = 0;
    std::int32_t minor_ = 0;
    std::int32_t platformId_ = 0;
    std::string name_;
};

} // namespace gridlark

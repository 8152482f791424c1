#include "main/modOSversion.hpp"

namespace gridlark {

WindowsVersion modOSversion::GetWindowsVersion(tk::WindowsApi& api) {
    osv_.dwOSVersionInfoSize = sizeof(osv_);
    api.GetVersionExA(&osv_);
    major_ = static_cast<std::int32_t>(osv_.dwMajorVersion);
    minor_ = static_cast<std::int32_t>(osv_.dwMinorVersion);
    platformId_ = static_cast<std::int32_t>(osv_.dwPlatformId);

    constexpr std::int32_t kNt = 2;
    switch (major_) {
    case 3:
        name_ = platformId_ == kNt ? "Windows NT 3.x" : "Windows 3.x";
        break;
    case 4:
        if (platformId_ == kNt)
            name_ = "Windows NT 4.0";
        else
            name_ = minor_ == 0 ? "Windows 95" : "Windows 98";
        break;
    case 5:
        if (minor_ == 0) name_ = "Windows 2000";
        if (minor_ == 1) name_ = "Windows XP";
        break; // later 5.x: the name stays as it was
    case 6:
        if (minor_ == 0) name_ = "Windows Vista";
        if (minor_ == 1) name_ = "Windows 7";
        break;
    default:
        name_ = "Unknown Windows Version";
        break;
    }
    return {name_, std::to_string(major_) + "." + std::to_string(minor_) + "." +
                       std::to_string(platformId_)};
}

} // namespace gridlark

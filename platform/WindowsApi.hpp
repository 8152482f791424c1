// The few Windows calls the application makes. On Windows they are the real calls; elsewhere a
// stand-in behaves as the callers expect. Tests put in their own to decide the answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tk {

class Backend;

namespace win {

using HWND = void*;

// Same layout as the Windows record, so the real call can fill it directly.
struct OSVERSIONINFOA {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(offsetof(OSVERSIONINFOA, dwPlatformId) == 16);
static_assert(offsetof(OSVERSIONINFOA, szCSDVersion) == 20);

constexpr int kShowNormal = 1; // SW_SHOWNORMAL

} // namespace win

class WindowsApi {
public:
    virtual ~WindowsApi() = default;
    virtual void InitCommonControls() = 0;
    virtual int GetVersionExA(win::OSVERSIONINFOA* info) = 0;
    virtual std::intptr_t ShellExecuteA(win::HWND owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        int showCommand) = 0;
};

// Away from Windows: no common controls to set up, a version query that fails (it fills
// nothing), and "open" handed to the desktop's default handler for the address.
class StandInWindowsApi final : public WindowsApi {
public:
    explicit StandInWindowsApi(Backend& backend)
        : backend_(backend) {}
    void InitCommonControls() override {}
    int GetVersionExA(win::OSVERSIONINFOA*) override { return 0; }
    std::intptr_t ShellExecuteA(win::HWND, const char* operation, const char* file, const char*,
                                const char*, int) override;

private:
    Backend& backend_;
};

} // namespace tk

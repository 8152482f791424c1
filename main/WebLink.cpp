// "More at Fernwick": the maker's page, kept as character codes and put together per press.
#include "main/frmDarIzoDiv2.hpp"

#include <array>
#include <charconv>
#include <string_view>

namespace gridlark {

namespace {

// https://www.fernwick.example
constexpr std::array<std::string_view, 28> kAddress{
    "104", "116", "116", "112", "115", "58",  "47",  "47",  "119", "119",
    "119", "46",  "102", "101", "114", "110", "119", "105", "99",  "107",
    "46",  "101", "120", "97",  "109", "112", "108", "101"};

} // namespace

void frmDarIzoDiv2::Label1_MouseDown(int Button, int Shift, float X, float Y) {
    (void)Shift;
    (void)X;
    (void)Y;
    if (Button != tk::mouse::Left) return;
    std::string address;
    for (std::string_view code : kAddress) {
        int value = 0;
        std::from_chars(code.data(), code.data() + code.size(), value);
        address += static_cast<char>(value);
    }
    platform().windowsApi().ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr,
                                          tk::win::kShowNormal);
}

} // namespace gridlark

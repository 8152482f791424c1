#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

namespace tk {

// What the program says about itself before any window system is touched.
struct ProgramInfo {
    std::string_view name;  // as typed on the command line
    std::string_view title; // as the program calls itself in what it says
    std::string_view version;
    std::string_view summary; // one line
};

// Answers --help and --version (0) and refuses an option neither the program nor the toolkit
// knows (2); nullopt lets the program start. The toolkit's own options (-platform, -display, ...)
// pass through, with their values.
std::optional<int> handleCommandLine(int argc, const char* const* argv, const ProgramInfo& info,
                                     std::FILE* out, std::FILE* err);

} // namespace tk

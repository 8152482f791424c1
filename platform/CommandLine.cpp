#include "platform/CommandLine.hpp"

#include <string>

namespace tk {

namespace {

// The options every backend's toolkit takes for itself (Qt's, as X11 programs have them), with
// one dash or two; the first group takes a value, as the next argument or after "=".
constexpr std::string_view kWithValue =
    " platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon qwindowtitle"
    " display geometry session style stylesheet title name visual ncols fn font bg background fg"
    " foreground btn button im inputstyle ";
constexpr std::string_view kWithoutValue =
    " reverse widgetcount nograb dograb sync cmap testability qmljsdebugger ";

bool among(std::string_view names, std::string_view name) {
    return !name.empty() && name.find(' ') == std::string_view::npos &&
           names.find(" " + std::string(name) + " ") != std::string_view::npos;
}

} // namespace

std::optional<int> handleCommandLine(int argc, const char* const* argv, const ProgramInfo& info,
                                     std::ostream& out, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out << "Usage: " << info.name << " [--help | --version] [toolkit options]\n"
                << info.summary << "\n\n"
                << "  --help        show this text and exit\n"
                << "  --version     show the version and exit\n"
                << "Toolkit options such as -platform NAME and -display DISPLAY are accepted.\n"
                << "Exit status: 0 normal end, 1 no display to start on, 2 unknown option.\n";
            return 0;
        }
        if (arg == "--version") {
            out << info.title << ' ' << info.version << '\n';
            return 0;
        }
        if (arg.size() < 2 || arg[0] != '-') continue; // not an option: the toolkit's to judge
        std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
        const bool joined = name.find('=') != std::string_view::npos;
        name = name.substr(0, name.find('='));
        if (among(kWithValue, name)) {
            if (!joined) ++i;
            continue;
        }
        if (among(kWithoutValue, name)) continue;
        err << info.name << ": unknown option '" << arg << "' (try --help)\n";
        return 2;
    }
    return std::nullopt;
}

} // namespace tk

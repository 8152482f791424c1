#include "platform/CommandLine.hpp"

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
    if (name.empty() || name.find(' ') != std::string_view::npos) return false;
    for (auto at = names.find(name); at != std::string_view::npos; at = names.find(name, at + 1))
        if (names[at - 1] == ' ' && names[at + name.size()] == ' ') return true;
    return false;
}

} // namespace

std::optional<int> handleCommandLine(int argc, const char* const* argv, const ProgramInfo& info,
                                     std::FILE* out, std::FILE* err) {
    // stdio, not iostreams: a static Windows program would carry all of their locale machinery.
    const auto print = [](std::FILE* to, std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), to);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            print(out, "Usage: ");
            print(out, info.name);
            print(out, " [--help | --version] [toolkit options]\n");
            print(out, info.summary);
            print(out, "\n\n"
                       "  --help        show this text and exit\n"
                       "  --version     show the version and exit\n"
                       "Toolkit options such as -platform NAME and -display DISPLAY are accepted.\n"
                       "Exit status: 0 normal end, 1 no display to start on, 2 unknown option.\n");
            return 0;
        }
        if (arg == "--version") {
            print(out, info.title);
            print(out, " ");
            print(out, info.version);
            print(out, "\n");
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
        print(err, info.name);
        print(err, ": unknown option '");
        print(err, arg);
        print(err, "' (try --help)\n");
        return 2;
    }
    return std::nullopt;
}

} // namespace tk

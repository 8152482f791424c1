// A fault in the program's own use of the toolkit (a name the design lacks, a second handler):
// an exception where exceptions are compiled in (the tests expect them), else the program ends
// there, saying why. The page that ships has no exception support, which would cost it bytes.
#pragma once

#include <stdexcept>
#include <string>

#if !defined(__cpp_exceptions)
#include <cstdio>
#include <cstdlib>
#endif

namespace tk {

template <class Error = std::logic_error> [[noreturn]] void fault(const std::string& what) {
#if defined(__cpp_exceptions)
    throw Error(what);
#else
    std::fputs((what + "\n").c_str(), stderr);
    std::abort();
#endif
}

} // namespace tk

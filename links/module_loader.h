#pragma once

// The program's lazily loaded modules (the window's printer, the planner's PDF writer, ...) are
// found and loaded here, in one search order for all: the installed library folder, found at
// run time from the program's own place (/proc/self/exe) and the relative path from the
// installed bin folder to <libdir>/brimwell; else the folder of the program itself, which is
// where the build tree puts every program and module. No absolute path is compiled in.

#include <stdexcept>
#include <string_view>

namespace brimwell::links {

// A module that cannot be loaded, lacks its entry point or was built with another interface
// version: what() says which file, where it was looked for, and why.
class ModuleError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The interface that the module file (e.g. "brimwell-print.so") exports through
// brimwell_link_module (links/link_module.h), of this program's kLinkInterfaceVersion; loaded on
// first use and kept loaded. Safe to call from any thread. Throws ModuleError.
const void* moduleInterface(std::string_view file);

}  // namespace brimwell::links

#pragma once

// The program's lazily loaded modules (the window's printer, the planner's PDF writer, ...) are
// found and loaded here, in one search order for all: the installed library folder, found at
// run time from the program's own place (/proc/self/exe) and the relative path from the
// installed bin folder to <libdir>/brimwell; else the folder of the program itself, which is
// where the build tree puts every program and module. No absolute path is compiled in.

#include <stdexcept>
#include <string_view>

namespace brimwell::links {

// A module that cannot be loaded, or lacks its entry point: what() says which file, where it
// was looked for, and why.
class ModuleError final : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The entry point `entry` of the module file `file` (e.g. "brimwell-print.so"), loaded on first
// use and kept loaded. Safe to call from any thread. Throws ModuleError.
void* moduleEntry(std::string_view file, const char* entry);

// The same, as a pointer to the function type that the module's header declares.
template <typename Function>
Function moduleFunction(std::string_view file, const char* entry) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym gives void*
    return reinterpret_cast<Function>(moduleEntry(file, entry));
}

}  // namespace brimwell::links

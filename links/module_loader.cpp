#include "links/module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

#include "links/link_module.h"

namespace brimwell::links {

namespace {

constexpr const char* kEntry = "brimwell_link_module";
using Entry = const void* (*)(int* version);

// The folders a module is looked for in, in order: the installation's, then the program's own.
// Empty when the program cannot find its own place.
std::pair<std::filesystem::path, std::filesystem::path> moduleFolders() {
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) {
        return {};
    }
    const std::filesystem::path folder = program.parent_path();
    return {(folder / BRIMWELL_MODULE_DIR_FROM_BIN).lexically_normal(), folder};
}

struct Module {
    void* handle = nullptr;
    std::string path;
};

// Loads the file from the first of the two folders that holds it. Called under the lock.
Module load(std::string_view file) {
    const auto [installed, beside] = moduleFolders();
    if (beside.empty()) {
        throw ModuleError("the module " + std::string(file) +
                          " cannot be looked for: the program cannot find its own folder");
    }
    std::error_code failed;
    std::filesystem::path path = installed / file;
    if (!std::filesystem::exists(path, failed)) {
        path = beside / file;
        if (!std::filesystem::exists(path, failed)) {
            throw ModuleError("the module " + std::string(file) + " is neither in " +
                              installed.string() + " nor in " + beside.string());
        }
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): only called under the loader's lock
        const char* reason = dlerror();
        throw ModuleError("the module " + path.string() + " cannot be loaded" +
                          (reason != nullptr ? std::string(": ") + reason : std::string()));
    }
    return {module, path.string()};
}

}  // namespace

const void* moduleInterface(std::string_view file) {
    static std::mutex lock;
    // Loaded once and kept: Qt, behind some modules, does not take to being unloaded.
    static std::map<std::string, const void*, std::less<>> loaded;
    const std::lock_guard guard(lock);
    if (const auto found = loaded.find(file); found != loaded.end()) {
        return found->second;
    }
    const Module module = load(file);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym gives void*
    const auto entry = reinterpret_cast<Entry>(dlsym(module.handle, kEntry));
    if (entry == nullptr) {
        throw ModuleError("the module " + module.path +
                          " was built for another Brimwell: it has no entry point " + kEntry);
    }
    int version = 0;
    const void* interface = entry(&version);
    if (version != kLinkInterfaceVersion || interface == nullptr) {
        throw ModuleError("the module " + module.path +
                          " was built for another Brimwell: its interface is version " +
                          std::to_string(version) + ", this Brimwell's " +
                          std::to_string(kLinkInterfaceVersion));
    }
    loaded.emplace(std::string(file), interface);
    return interface;
}

}  // namespace brimwell::links

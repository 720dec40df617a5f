#include "links/module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

namespace brimwell::links {

namespace {

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

void* moduleEntry(std::string_view file, const char* entry) {
    static std::mutex lock;
    // Loaded once and kept: Qt, behind some modules, does not take to being unloaded.
    static std::map<std::string, Module, std::less<>> loaded;
    const std::lock_guard guard(lock);
    auto found = loaded.find(file);
    if (found == loaded.end()) {
        found = loaded.emplace(std::string(file), load(file)).first;
    }
    void* address = dlsym(found->second.handle, entry);
    if (address == nullptr) {
        throw ModuleError("the module " + found->second.path + " has no entry point " + entry);
    }
    return address;
}

}  // namespace brimwell::links

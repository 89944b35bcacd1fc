#include "platform/SharedModule.h"

#include <dlfcn.h>

namespace velto::platform {

namespace {

std::string LoaderError(const std::string& fallback) {
    const char* error = ::dlerror();
    return error != nullptr ? error : fallback;
}

}  // namespace

ModuleSymbol LoadModuleSymbol(const std::filesystem::path& file, const char* symbol) {
    // Its own names stay private (RTLD_LOCAL): nothing else in the process binds to them.
    void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        return {nullptr, LoaderError("cannot load " + file.string())};
    }
    ::dlerror();
    void* address = ::dlsym(module, symbol);
    if (address == nullptr) {
        return {nullptr, LoaderError(file.string() + ": no symbol " + symbol)};
    }
    return {address, {}};
}

}  // namespace velto::platform

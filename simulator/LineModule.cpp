#include "simulator/LineModule.h"

#include <dlfcn.h>

#include <mutex>

namespace tvxsim {

namespace {

struct Module {
    sip::OpenLineEntry open = nullptr;
    std::string error;  // why it could not be loaded
};

// This library's own folder, from the file the dynamic linker loaded it from.
std::string LibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&OpenConfiguredLine), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

Module Load()
{
    Module module;
    // Never closed: the line's thread and libre's state live as long as the
    // process may start a line.
    // The first place's reason is the one told: the module beside the
    // library that fails (a library of its own missing) says more than the
    // search for it elsewhere.
    const auto reason = [] {
        const char *why = dlerror();
        return std::string(why != nullptr ? why : "not found");
    };
    void *handle = nullptr;
    std::string why;
    const std::string beside = LibraryFolder();
    if (!beside.empty()) {
        handle = dlopen((beside + sip::kLineModuleFile).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            why = reason();
    }
    if (handle == nullptr) {
        handle = dlopen(sip::kLineModuleFile, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr && why.empty())
            why = reason();
    }
    if (handle == nullptr) {
        module.error = "the SIP line's module cannot be loaded: " + why;
        return module;
    }
    module.open = reinterpret_cast<sip::OpenLineEntry>(dlsym(handle, sip::kLineModuleEntry));
    if (module.open == nullptr)
        module.error = std::string("the SIP line's module has no entry ") + sip::kLineModuleEntry;
    return module;
}

}  // namespace

std::unique_ptr<sip::ConfiguredLine> OpenConfiguredLine(const sip::LineConfig &config, const std::string &passwordPath,
                                                        std::string &error)
{
    static std::once_flag once;
    static Module module;
    std::call_once(once, [] { module = Load(); });
    if (module.open == nullptr) {
        error = module.error;
        return nullptr;
    }
    std::unique_ptr<sip::ConfiguredLine> line(module.open(config, passwordPath.c_str()));
    if (!line)
        error = "the SIP line cannot start";
    return line;
}

}  // namespace tvxsim

#include "plugin_library.h"

#include "tool_error.h"

#include <sys/stat.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace
{

#if defined(_WIN32)

std::string lastErrorText()
{
    char* text = nullptr;
    const DWORD error = GetLastError();
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text != nullptr ? text : "error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
    {
        message.pop_back();
    }
    return message;
}

void* openLibrary(const std::string& path, std::string& error)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string name = length > 0 && length < MAX_PATH ? std::string(full) : path;
    // LoadLibrary appends ".dll" to a name without an extension; a trailing dot prevents that.
    const auto base = name.find_last_of("\\/");
    if (name.find('.', base == std::string::npos ? 0 : base) == std::string::npos)
    {
        name += '.';
    }
    // A broken library must fail here, not in a message box.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExA(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr)
    {
        error = lastErrorText();
    }
    SetErrorMode(previousMode);
    return reinterpret_cast<void*>(module);
}

PluginEntry findEntry(void* handle, const char* name)
{
    FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle), name);
    return reinterpret_cast<PluginEntry>(reinterpret_cast<void (*)()>(symbol));
}

void closeLibrary(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}

#else

void* openLibrary(const std::string& path, std::string& error)
{
    // Without a slash dlopen searches the library path instead of opening the named file.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown error";
    }
    return handle;
}

PluginEntry findEntry(void* handle, const char* name)
{
    return reinterpret_cast<PluginEntry>(dlsym(handle, name));
}

void closeLibrary(void* handle)
{
    dlclose(handle);
}

#endif

} // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path)
{
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0)
    {
        throw ToolError(kExitNoPluginFile, "plug-in file not found: " + path);
    }
    if ((status.st_mode & S_IFMT) != S_IFREG)
    {
        throw ToolError(kExitNotPlugin, "not a plug-in (not a regular file): " + path);
    }
    std::string error;
    handle_ = openLibrary(path, error);
    if (handle_ == nullptr)
    {
        throw ToolError(kExitNotPlugin,
                        "not a plug-in (cannot be loaded as a library): " + path + ": " + error);
    }
    entry_ = findEntry(handle_, "VSTPluginMain");
    if (entry_ == nullptr)
    {
        entry_ = findEntry(handle_, "main");
    }
    if (entry_ == nullptr)
    {
        closeLibrary(handle_);
        throw ToolError(kExitNotPlugin,
                        "not a plug-in (exports neither VSTPluginMain nor main): " + path);
    }
}

PluginLibrary::~PluginLibrary()
{
    closeLibrary(handle_);
}

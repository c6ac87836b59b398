// A plug-in library loaded by path, and its VST entry point.
#pragma once

#include "host/vst_interface.h"

#include <string>

using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

class PluginLibrary
{
public:
    // Throws ToolError: kExitNoPluginFile when nothing is at `path`, kExitNotPlugin when the
    // file is not a loadable library or exports neither "VSTPluginMain" nor "main".
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& path() const { return path_; }
    PluginEntry entry() const { return entry_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    PluginEntry entry_ = nullptr;
};

// A per-user configuration folder of the test's own, named to the plug-in through the
// environment (APPDATA on Windows, XDG_CONFIG_HOME elsewhere, which child processes inherit), and
// the plug-in's settings file in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

class SettingsFolder
{
public:
    SettingsFolder()
    {
#ifdef _WIN32
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        folder = std::filesystem::path(temporary) /
                 ("dranvelor-settings-" + std::to_string(GetTickCount()));
        std::filesystem::create_directories(folder);
        SetEnvironmentVariableW(L"APPDATA", folder.wstring().c_str());
#else
        char name[] = "/tmp/dranvelor-settings-XXXXXX";
        folder = mkdtemp(name);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
#endif
    }
    ~SettingsFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    std::filesystem::path file() const
    {
        return folder / "Ostravelk" / "Morvandell" / "settings.ini";
    }
    void write(const std::string& text) const
    {
        std::filesystem::create_directories(file().parent_path());
        std::ofstream(file(), std::ios::binary) << text;
    }
    std::string saved() const
    {
        std::ifstream in(file(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path folder;
};

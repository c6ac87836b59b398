#include "editor/scale_settings.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <shlobj.h>
#endif

namespace fs = std::filesystem;

namespace
{

const char kScaleKey[] = "scale";
const char kAutoValue[] = "auto";
const char kFileName[] = "settings.ini";
// A settings file is a few lines; anything longer is not one of ours.
constexpr std::streamsize kMaxFileSize = 64 * 1024;

fs::path absoluteOrEmpty(const fs::path& folder)
{
    return folder.is_absolute() ? folder : fs::path();
}

// The per-user configuration folder; empty when the environment names none.
fs::path configFolder()
{
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH && fs::path(buffer).is_absolute())
        return buffer;
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return absoluteOrEmpty(buffer);
    return {};
#else
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && fs::path(xdg).is_absolute())
        return xdg;
    const char* home = std::getenv("HOME");
    return home && *home ? absoluteOrEmpty(fs::path(home) / ".config") : fs::path();
#endif
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Splits "key = value"; false for a line without '='.
bool splitSetting(const std::string& line, std::string& key, std::string& value)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    key = trimmed(line.substr(0, equals));
    value = trimmed(line.substr(equals + 1));
    return true;
}

// The lines of a regular file of settings size; none for anything else. A FIFO or a device
// would block or never end, so only regular files are opened.
std::vector<std::string> readLines(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) > kMaxFileSize || error)
        return {};
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Lines a rewrite keeps besides the scale: other settings, comments and section headers; the
// rest of a damaged file is dropped.
bool isKeptLine(const std::string& line)
{
    std::string key;
    std::string value;
    const std::string text = trimmed(line);
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return false;
    return !text.empty() && (text[0] == '#' || text[0] == ';' || text[0] == '[' ||
                             (splitSetting(text, key, value) && !key.empty()));
}

double scaleOfValue(const std::string& value)
{
    // Percent as the menu shows it: digits only, so "1.5e2" or "150abc" are not taken.
    if (value.empty() || value.size() > 3 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        return 0.0;
    const double scale = std::atoi(value.c_str()) / 100.0;
    return userScaleIndex(scale) > 0 ? scale : 0.0;
}

std::string valueOfScale(double scale)
{
    const int index = userScaleIndex(scale);
    if (index <= 0)
        return kAutoValue;
    return std::to_string(static_cast<int>(std::lround(scale * 100.0)));
}

// A name no other writer uses at the same time, in the file's own folder so that the rename
// that replaces the file stays on one file system.
fs::path temporaryFile(const fs::path& file)
{
    static unsigned counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path name = file;
    name += "." + std::to_string(stamp) + "." + std::to_string(++counter) + ".tmp";
    return name;
}

} // namespace

int userScaleIndex(double scale)
{
    for (int i = 0; i < kNumUserScales; ++i)
        if (std::fabs(scale - kUserScales[i]) < 1e-6)
            return i;
    return -1;
}

std::string userScaleLabel(int index)
{
    if (index <= 0)
        return "Auto";
    return valueOfScale(kUserScales[index]) + " %";
}

fs::path settingsFile(const std::string& vendor, const std::string& product)
{
    const fs::path folder = configFolder();
    if (folder.empty() || vendor.empty() || product.empty())
        return {};
    return folder / vendor / product / kFileName;
}

double readUserScale(const fs::path& file)
{
    const auto settings = readSettings(file);
    const auto found = settings.find(kScaleKey);
    return found == settings.end() ? 0.0 : scaleOfValue(found->second);
}

bool writeUserScale(const fs::path& file, double scale)
{
    return writeSettings(file, {{kScaleKey, valueOfScale(scale)}});
}

std::map<std::string, std::string> readSettings(const fs::path& file)
{
    std::map<std::string, std::string> settings;
    std::string key;
    std::string value;
    // The last line of a key counts, as a person editing the file by hand would expect.
    for (const std::string& line : readLines(file))
        if (isKeptLine(line) && splitSetting(trimmed(line), key, value))
            settings[key] = value;
    return settings;
}

bool writeSettings(const fs::path& file, const std::map<std::string, std::string>& values)
{
    if (file.empty())
        return false;
    std::ostringstream text;
    std::string key;
    std::string value;
    for (const std::string& line : readLines(file))
        if (isKeptLine(line) && !(splitSetting(line, key, value) && values.count(key) > 0))
            text << line << '\n';
    for (const auto& [name, setting] : values)
        text << name << '=' << setting << '\n';

    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    const fs::path temporary = temporaryFile(file);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out)
        {
            out.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, file, error);
    if (!error)
        return true;
    fs::remove(temporary, error);
    return false;
}

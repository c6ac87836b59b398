// The user's window scale, kept in a small per-user settings file so that every new window opens
// with the size the user chose last. Nothing in it may keep a window from opening: whatever goes
// wrong with the file reads as Auto and a failed write leaves the choice to this window.
#pragma once

#include <filesystem>
#include <map>
#include <string>

// The choices of the scale menu, in its order; 0 is Auto (the host's or the screen's scale).
inline constexpr double kUserScales[] = {0.0, 1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
inline constexpr int kNumUserScales = sizeof kUserScales / sizeof kUserScales[0];

// The index of scale in kUserScales; -1 when it is none of them.
int userScaleIndex(double scale);
// "Auto", "100 %", "125 %" ...
std::string userScaleLabel(int index);

// <per-user configuration folder>/<vendor>/<product>/settings.ini: under %APPDATA% on Windows,
// $XDG_CONFIG_HOME (else ~/.config) elsewhere; empty when there is no such folder.
std::filesystem::path settingsFile(const std::string& vendor, const std::string& product);

// The choice saved in file; 0 (Auto) when the file is missing, unreadable or holds none.
double readUserScale(const std::filesystem::path& file);
// Saves the choice, keeping the file's other settings, through a new file that replaces the old
// one whole; false when it cannot be written (the old file is then untouched).
bool writeUserScale(const std::filesystem::path& file, double scale);

// The file's "key=value" settings; none when the file is missing, unreadable or not a settings
// file. The same rules as for the scale: whatever is wrong reads as no setting.
std::map<std::string, std::string> readSettings(const std::filesystem::path& file);
// Sets these keys, keeping the file's other settings, as writeUserScale does; values hold no
// line breaks.
bool writeSettings(const std::filesystem::path& file,
                   const std::map<std::string, std::string>& values);

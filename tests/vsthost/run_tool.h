// Runs the vsthost program as a separate process and collects what it printed.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolResult runTool(const std::vector<std::string>& arguments);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
bool fileExists(const std::string& path);
// The names in the working directory that start with `prefix`.
std::vector<std::string> filesStartingWith(const std::string& prefix);

#include "run_tool.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <dirent.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{

// Test programs may run at the same time in one folder, and under Wine a process that the tool
// starts (the desktop) may keep its inherited handles open: every run captures into new files.
std::string captureFile(unsigned long run, const char* stream)
{
#if defined(_WIN32)
    const unsigned long pid = GetCurrentProcessId();
#else
    const auto pid = static_cast<unsigned long>(getpid());
#endif
    return "vsthost-test-" + std::to_string(pid) + "-" + std::to_string(run) + "." + stream;
}

#if defined(_WIN32)

// The tool's path is a host path; Wine's drive Z: is the host's root.
std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
    {
        path = "Z:" + path;
    }
    for (char& c : path)
    {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

std::string quoted(const std::string& argument)
{
    return argument.find_first_of(" \t\"") == std::string::npos ? argument : "\"" + argument + "\"";
}

int spawn(const std::vector<std::string>& arguments, const std::string& outFile,
          const std::string& errFile)
{
    std::string commandLine = quoted(windowsPath(VSTHOST_TOOL));
    for (const auto& argument : arguments)
    {
        commandLine += " " + quoted(argument);
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = CreateFileA(outFile.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileA(errFile.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (!started)
    {
        throw std::runtime_error("cannot start " + commandLine);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

#else

int spawn(const std::vector<std::string>& arguments, const std::string& outFile,
          const std::string& errFile)
{
    std::vector<std::string> all = {VSTHOST_TOOL};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all)
    {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0)
    {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

#endif

// Windows programs end their text lines with CR LF.
std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

} // namespace

ToolResult runTool(const std::vector<std::string>& arguments)
{
    static unsigned long runs = 0;
    const std::string outFile = captureFile(runs, "stdout");
    const std::string errFile = captureFile(runs++, "stderr");
    ToolResult result;
    result.exitCode = spawn(arguments, outFile, errFile);
    result.out = withoutCarriageReturns(readFile(outFile));
    result.err = withoutCarriageReturns(readFile(errFile));
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return result;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

bool fileExists(const std::string& path)
{
    struct stat status = {};
    return stat(path.c_str(), &status) == 0;
}

std::vector<std::string> filesStartingWith(const std::string& prefix)
{
    std::vector<std::string> names;
    DIR* directory = opendir(".");
    while (const dirent* entry = directory != nullptr ? readdir(directory) : nullptr)
    {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0)
        {
            names.push_back(name);
        }
    }
    if (directory != nullptr)
    {
        closedir(directory);
    }
    return names;
}

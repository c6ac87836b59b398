// dranvelor_soak: a long run of hostile audio and automation through a VST 2.4 plug-in.
#include "soak_options.h"
#include "soak_result.h"
#include "soak_run.h"
#include "tools/vsthost/plugin_library.h"
#include "tools/vsthost/tool_error.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    try
    {
        const SoakOptions options = parseSoakOptions(argc, argv);
        if (options.help)
        {
            std::fputs(kSoakHelp, stdout);
            return kExitOk;
        }
        const PluginLibrary library(options.plugin);
        const SoakResult result = runSoak(library.entry(), options);
        printSoakSummary(stdout, result, options);
        const auto failures = soakFailures(result, options);
        for (const std::string& failure : failures)
            std::fprintf(stderr, "dranvelor_soak: FAILED: %s\n", failure.c_str());
        std::puts(failures.empty() ? "soak passed" : "soak FAILED");
        return failures.empty() ? kExitOk : kExitFailure;
    }
    catch (const ToolError& error)
    {
        std::fprintf(stderr, "dranvelor_soak: %s\n", error.what());
        return error.code;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "dranvelor_soak: %s\n", error.what());
        return kExitFailure;
    }
}

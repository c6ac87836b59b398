// vsthost: a command-line VST 2.4 host.
#include "commands.h"
#include "tool_error.h"

#include <cstdio>
#include <exception>

namespace
{

const char kHelp[] = R"(usage: vsthost COMMAND ARGUMENTS [OPTIONS]

Loads a VST 2.4 plug-in library (.so, .dll) by path through its entry point
VSTPluginMain (or main) and drives it as a host does.

commands:
  info PLUGIN                       identity, numbers, flags, unique ID, every
                                    parameter (name, label, display, value) and
                                    every program name
  render PLUGIN IN.wav OUT.wav      processes an audio file at its own sample
                                    rate; a file with several channels is
                                    processed channel by channel, each through
                                    its own plug-in instance. The output appears
                                    under its name only when complete.
  edit PLUGIN                       opens the plug-in's editor in a window and
                                    prints "automate INDEX VALUE", "begin INDEX"
                                    and "end INDEX" for what the editor reports
                                    (a Win32 window, or an X11 one on Linux)
  demo OUT.wav                      writes a 5 s guitar riff (44100 Hz, mono,
                                    16-bit) to try an effect on

options:
  --set NAME=VALUE, --set INDEX=VALUE
                     sets a parameter (normalized 0..1) before anything else
                     happens; may be repeated (info, render, edit)
  --program N        selects program N first (info, render, edit)
  --block N          frames per processing call, 1..65536, default 512 (render)
  --double           processes in double precision (render)
  --format float|input
                     writes 32-bit float (default) or the input's format (render)
  --seconds S        closes the editor after S seconds (edit; default: when the
                     window is closed)
  --screenshot FILE  saves the editor's picture as .bmp or .png before closing
                     (edit; needs --seconds)
  --scale F          tells the plug-in the host's content-scale factor F (1.5,
                     2 ...) before its window opens (edit)
  --rescale F        tells it factor F again two seconds later (halfway through a
                     shorter --seconds), as when the window moves to another
                     screen (edit; needs --seconds)
  --trace            prints every call the plug-in makes to the host on stderr
  --sync             for tests driving the window (edit, X11): prints "idle" for
                     each audioMasterIdle the editor calls, and answers the client
                     message DRANVELOR_SYNC with serial N, sent to the host window,
                     with "synced N" once the editor has idled twice since
  --help             this text

exit codes:
  0 success, 1 other failure, 2 bad command line, 3 plug-in file not found,
  4 not a plug-in, 5 the plug-in answered no instance, 6 unreadable or
  unsupported audio file, 7 the plug-in or this build cannot do that,
  8 the output file could not be written
)";

int run(const Options& options)
{
    if (options.help)
    {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (options.command == "info")
    {
        return runInfo(options);
    }
    if (options.command == "render")
    {
        return runRender(options);
    }
    if (options.command == "edit")
    {
        return runEdit(options);
    }
    if (options.command == "demo")
    {
        return runDemo(options);
    }
    throw ToolError(kExitUsage, options.command.empty() ? "no command given (see vsthost --help)"
                                                        : "unknown command '" + options.command +
                                                              "' (see vsthost --help)");
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        return run(parseOptions(argc, argv));
    }
    catch (const ToolError& error)
    {
        std::fprintf(stderr, "vsthost: %s\n", error.what());
        return error.code;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "vsthost: %s\n", error.what());
        return kExitFailure;
    }
}

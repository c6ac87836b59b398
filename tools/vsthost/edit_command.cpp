// vsthost edit: the plug-in's editor in a top-level window, as a host shows it.
#include "commands.h"
#include "host_context.h"
#include "host_window.h"
#include "plugin_instance.h"
#include "screenshot.h"
#include "tool_error.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace
{

constexpr auto kIdleInterval = std::chrono::milliseconds(20);
constexpr auto kRescaleAfter = std::chrono::seconds(2);

void fitToEditor(const PluginInstance& plugin, HostWindow& window)
{
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top)
    {
        window.setClientSize(rect->right - rect->left, rect->bottom - rect->top);
    }
}

void sendContentScale(const PluginInstance& plugin, double factor)
{
    plugin.dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr,
                    static_cast<float>(factor));
}

// Calls effEditIdle about every kIdleInterval until the time is up or the window closes; sends
// --rescale after two seconds, or halfway through a shorter run.
void runEventLoop(const PluginInstance& plugin, HostWindow& window, const Options& options)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const bool timed = options.seconds.has_value();
    const auto duration = std::chrono::duration<double>(timed ? *options.seconds : 0.0);
    bool rescaled = !options.rescale;
    Clock::time_point nextIdle = start;
    while (window.handleEvents())
    {
        const Clock::time_point now = Clock::now();
        if (!rescaled &&
            now - start >=
                std::min<Clock::duration>(
                    kRescaleAfter, std::chrono::duration_cast<Clock::duration>(duration / 2)))
        {
            sendContentScale(plugin, *options.rescale);
            rescaled = true;
        }
        if (now >= nextIdle)
        {
            plugin.dispatch(effEditIdle);
            nextIdle = now + kIdleInterval;
        }
        // The input a test sent before its request has reached the editor's own connection by
        // now: two idles, and the editor has handled it and drawn what follows from it.
        for (const long serial : window.takeSyncRequests())
        {
            if (!options.sync)
            {
                continue;
            }
            plugin.dispatch(effEditIdle);
            plugin.dispatch(effEditIdle);
            std::printf("synced %ld\n", serial);
            std::fflush(stdout);
        }
        // Checked after the idle: the editor idles at least once, however slowly the window
        // came up.
        if (timed && now - start >= duration)
            break;
        const auto untilIdle =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle - Clock::now());
        window.waitForEvents(untilIdle.count() > 0 ? static_cast<unsigned>(untilIdle.count()) : 0);
    }
}

} // namespace

int runEdit(const Options& options)
{
    requireArguments(options, 1,
                     {"--set", "--program", "--seconds", "--screenshot", "--scale", "--rescale",
                      "--trace", "--sync"},
                     "vsthost edit PLUGIN [options]");
    if (!options.screenshot.empty() && !options.seconds)
    {
        throw ToolError(kExitUsage, "--screenshot needs --seconds (see vsthost --help)");
    }
    if (options.rescale && !options.seconds)
    {
        throw ToolError(kExitUsage, "--rescale needs --seconds (see vsthost --help)");
    }
    HostContext host;
    host.trace = options.trace;
    host.printEdits = true;
    host.printIdle = options.sync;
    const PluginLibrary library(options.positional[0]);
    PluginInstance plugin(library);
    if (!plugin.hasFlag(effFlagsHasEditor))
    {
        throw ToolError(kExitUnsupported, "the plug-in has no editor");
    }
    plugin.applySettings(options);
    plugin.setSampleRateAndBlockSize(host.sampleRate, host.blockSize);
    plugin.resume();

    HostWindow window(plugin.text(effGetEffectName).empty() ? library.path()
                                                            : plugin.text(effGetEffectName));
    host.sizeWindow = [&window](int width, int height)
    { return window.setClientSize(width, height); };
    // Hosts send the factor before they ask for the size.
    if (options.scale)
    {
        sendContentScale(plugin, *options.scale);
    }
    fitToEditor(plugin, window);
    window.show();
    plugin.dispatch(effEditOpen, 0, 0, window.parent());
    // Some editors know their size only once open.
    fitToEditor(plugin, window);

    runEventLoop(plugin, window, options);
    RgbImage screenshot;
    if (!options.screenshot.empty())
    {
        screenshot = window.capture();
    }
    plugin.dispatch(effEditClose);
    host.sizeWindow = nullptr;
    if (!options.screenshot.empty())
    {
        saveImage(options.screenshot, screenshot);
    }
    return kExitOk;
}

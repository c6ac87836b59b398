// A small VST 2.4 plug-in for testing hosts: out[n] = Gain * in[n - 1] + Bias.
// The one-sample memory exposes blocks or channels that are not kept apart. Processing outside
// the host's promises (before resume, without a sample rate, more frames than the block size)
// answers kContractBroken in every sample instead.
#include "host/vst_interface.h"

#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{

constexpr float kContractBroken = 100.0f;
constexpr float kSecondOutput = 7.0f;
constexpr VstInt32 kNumParams = 2;
constexpr VstInt32 kNumPrograms = 2;
const char* const kParamNames[kNumParams] = {"Gain", "Bias"};
const char* const kProgramNames[kNumPrograms] = {"Unity", "Quiet"};
const float kProgramGains[kNumPrograms] = {1.0f, 0.25f};

struct GainPlugin
{
    AEffect effect;
    audioMasterCallback host;
    float params[kNumParams];
    VstInt32 program;
    float sampleRate;
    VstIntPtr blockSize;
    bool running;
    double previous;
#if defined(_WIN32)
    HWND window;
    bool gestureSent;
#endif
};

GainPlugin& pluginOf(AEffect* effect)
{
    return *static_cast<GainPlugin*>(effect->object);
}

void copyText(void* ptr, const char* text)
{
    std::strcpy(static_cast<char*>(ptr), text);
}

#if defined(_WIN32)

// The editor: a child window of one colour. On its first idle it reports one edit gesture.
constexpr int kEditorWidth = 200;
constexpr int kEditorHeight = 120;
constexpr COLORREF kEditorColour = RGB(0x20, 0x80, 0xC0);
const char kEditorClass[] = "VsthostTestGainEditor";

LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(kEditorColour);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

VstIntPtr openEditor(GainPlugin& plugin, HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = editorProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kEditorClass;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    plugin.window =
        CreateWindowExA(0, kEditorClass, "", WS_CHILD | WS_VISIBLE, 0, 0, kEditorWidth,
                        kEditorHeight, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    return plugin.window != nullptr ? 1 : 0;
}

void idleEditor(GainPlugin& plugin)
{
    if (plugin.window == nullptr || plugin.gestureSent)
    {
        return;
    }
    plugin.gestureSent = true;
    plugin.host(&plugin.effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
    plugin.params[0] = 0.75f;
    plugin.host(&plugin.effect, audioMasterAutomate, 0, 0, nullptr, 0.75f);
    plugin.host(&plugin.effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
}

void closeEditor(GainPlugin& plugin)
{
    if (plugin.window != nullptr)
    {
        DestroyWindow(plugin.window);
        plugin.window = nullptr;
    }
}

#endif

VstIntPtr VSTCALLBACK dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt)
{
    GainPlugin& plugin = pluginOf(effect);
    switch (opcode)
    {
    case effClose:
        delete &plugin;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < kNumPrograms)
        {
            plugin.program = static_cast<VstInt32>(value);
            plugin.params[0] = kProgramGains[value];
        }
        return 0;
    case effGetProgram:
        return plugin.program;
    case effGetProgramName:
        copyText(ptr, kProgramNames[plugin.program]);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kNumPrograms)
        {
            return 0;
        }
        copyText(ptr, kProgramNames[index]);
        return 1;
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay:
        if (index < 0 || index >= kNumParams)
        {
            return 0;
        }
        if (opcode == effGetParamName)
        {
            copyText(ptr, kParamNames[index]);
        }
        else if (opcode == effGetParamLabel)
        {
            copyText(ptr, index == 0 ? "x" : "");
        }
        else
        {
            std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%.3f",
                          static_cast<double>(plugin.params[index]));
        }
        return 0;
    case effSetSampleRate:
        plugin.sampleRate = opt;
        return 0;
    case effSetBlockSize:
        plugin.blockSize = value;
        return 0;
    case effMainsChanged:
        // The host's answers must agree with what it told the plug-in.
        plugin.running =
            value != 0 &&
            plugin.host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f) ==
                static_cast<VstIntPtr>(plugin.sampleRate) &&
            plugin.host(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f) == plugin.blockSize;
        plugin.previous = 0.0;
        return 0;
    case effGetEffectName:
        copyText(ptr, "TestGain");
        return 1;
    case effGetVendorString:
        copyText(ptr, "Ostravelk Tests");
        return 1;
    case effGetProductString:
        copyText(ptr, "Gain Probe");
        return 1;
    case effGetVendorVersion:
        return 7;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effGetVstVersion:
        return kVstVersion;
#if defined(_WIN32)
    case effEditGetRect:
    {
        static ERect rect = {0, 0, kEditorHeight, kEditorWidth};
        *static_cast<ERect**>(ptr) = &rect;
        return 1;
    }
    case effEditOpen:
        return openEditor(plugin, static_cast<HWND>(ptr));
    case effEditIdle:
        idleEditor(plugin);
        return 0;
    case effEditClose:
        closeEditor(plugin);
        return 0;
#endif
    default:
        return 0;
    }
}

bool keepsContract(const GainPlugin& plugin, VstInt32 frames)
{
    return plugin.running && plugin.sampleRate > 0.0f && frames <= plugin.blockSize;
}

template <typename Sample>
void process(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames)
{
    GainPlugin& plugin = pluginOf(effect);
    const bool valid = keepsContract(plugin, frames);
    const auto gain = static_cast<Sample>(plugin.params[0]);
    const auto bias = static_cast<Sample>(plugin.params[1]);
    for (VstInt32 i = 0; i < frames; ++i)
    {
        const Sample in = inputs[0][i];
        outputs[0][i] = valid ? gain * static_cast<Sample>(plugin.previous) + bias
                              : static_cast<Sample>(kContractBroken);
        outputs[1][i] = static_cast<Sample>(kSecondOutput);
        plugin.previous = static_cast<double>(in);
    }
}

void VSTCALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    process(effect, inputs, outputs, frames);
}

void VSTCALLBACK processDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                        VstInt32 frames)
{
    process(effect, inputs, outputs, frames);
}

void VSTCALLBACK setParameter(AEffect* effect, VstInt32 index, float value)
{
    if (index >= 0 && index < kNumParams)
    {
        pluginOf(effect).params[index] = value;
    }
}

float VSTCALLBACK getParameter(AEffect* effect, VstInt32 index)
{
    return index >= 0 && index < kNumParams ? pluginOf(effect).params[index] : 0.0f;
}

} // namespace

PLUGIN_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host)
{
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    auto* plugin = new GainPlugin{};
    plugin->host = host;
    plugin->params[0] = kProgramGains[0];
    AEffect& effect = plugin->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatcher;
    effect.setParameter = setParameter;
    effect.getParameter = getParameter;
    effect.processReplacing = processReplacing;
    effect.processDoubleReplacing = processDoubleReplacing;
    effect.numPrograms = kNumPrograms;
    effect.numParams = kNumParams;
    effect.numInputs = 1;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
#if defined(_WIN32)
    effect.flags |= effFlagsHasEditor;
#endif
    effect.initialDelay = 1;
    effect.ioRatio = 1.0f;
    effect.object = plugin;
    effect.uniqueID = fourCharCode('t', 'G', 'a', 'n');
    effect.version = 1;
    return &effect;
}

// Build-time tool: writes the bundle's description from the parameter table and its presets from
// the effect's distinct programs, so that the ports and the presets are the effect's own.
//   dranvelor-lv2-ttl OUTPUT_FOLDER DSP_BINARY UI_BINARY
#include "dranvelor_version.h"
#include "effect/identity.h"
#include "effect/parameters.h"
#include "lv2/hosted_effect.h"
#include "lv2/ports.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr const char* kPrefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

class Effect
{
public:
    Effect() : record(openHostedEffect()) {}
    ~Effect() { dispatch(effClose); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    int programCount() const { return record->numPrograms; }
    float value(int index) const { return record->getParameter(record, index); }
    void setProgram(int program) const { dispatch(effSetProgram, 0, program); }
    std::string text(VstInt32 opcode, VstInt32 index = 0) const
    {
        char buffer[256] = {};
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr) const
    {
        return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
    }

    AEffect* record;
};

// A program as a preset: its URI names the first program of the bank that holds it.
struct Preset
{
    int program;
    std::string label;
    std::array<float, dranvelor::kNumParameters> values;

    bool sameAs(const Preset& other) const
    {
        return label == other.label && values == other.values;
    }
};

// The bank's distinct programs, in bank order: identical programs would only repeat one entry in
// hosts' preset menus.
std::vector<Preset> distinctPrograms(const Effect& effect)
{
    std::vector<Preset> presets;
    for (int program = 0; program < effect.programCount(); ++program)
    {
        effect.setProgram(program);
        Preset preset{program, effect.text(effGetProgramName), {}};
        for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
            preset.values[static_cast<size_t>(info.index)] = effect.value(info.index);
        const auto same = [&preset](const Preset& earlier) { return earlier.sameAs(preset); };
        if (std::none_of(presets.begin(), presets.end(), same))
            presets.push_back(preset);
    }
    return presets;
}

// A Turtle decimal that reads back as the same float.
std::string decimal(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string result = text;
    if (result.find_first_of(".e") == std::string::npos)
        result += ".0";
    return result;
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

std::string presetUri(int program)
{
    char text[64];
    std::snprintf(text, sizeof text, "<%s#preset%02d>", lv2port::kPluginUri, program + 1);
    return text;
}

std::string pluginRef()
{
    return std::string("<") + lv2port::kPluginUri + ">";
}

std::string uiRef()
{
    return std::string("<") + lv2port::kUiUri + ">";
}

std::string manifest(const std::vector<Preset>& presets, const std::string& dspBinary,
                     const std::string& uiBinary)
{
    std::ostringstream out;
    out << kPrefixes;
    out << pluginRef() << "\n    a lv2:Plugin ;\n    lv2:binary <" << dspBinary
        << "> ;\n    rdfs:seeAlso <dranvelor.ttl> .\n\n";
    out << uiRef() << "\n    a ui:X11UI ;\n    ui:binary <" << uiBinary
        << "> ;\n    rdfs:seeAlso <dranvelor.ttl> .\n";
    for (const Preset& preset : presets)
        out << "\n"
            << presetUri(preset.program) << "\n    a pset:Preset ;\n    lv2:appliesTo "
            << pluginRef() << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return out.str();
}

std::string audioPort(uint32_t index, const char* direction, const char* symbol, const char* name)
{
    std::ostringstream out;
    out << "[\n        a lv2:" << direction << "Port, lv2:AudioPort ;\n        lv2:index " << index
        << " ;\n        lv2:symbol \"" << symbol << "\" ;\n        lv2:name \"" << name
        << "\"\n    ]";
    return out.str();
}

// What hosts need to know of a parameter's values beyond its range.
const char* portProperty(dranvelor::ParameterRole role)
{
    switch (role)
    {
    case dranvelor::ParameterRole::toggle:
        return "lv2:toggled";
    case dranvelor::ParameterRole::continuous:
        break;
    }
    return nullptr;
}

std::string controlPort(const dranvelor::ParameterInfo& info)
{
    std::ostringstream out;
    out << "[\n        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << lv2port::kFirstControl + static_cast<uint32_t>(info.index)
        << " ;\n"
        << "        lv2:symbol \"" << info.symbol << "\" ;\n"
        << "        lv2:name " << quoted(info.name) << " ;\n"
        << "        lv2:default " << decimal(info.defaultValue) << " ;\n"
        << "        lv2:minimum " << decimal(info.minimum) << " ;\n"
        << "        lv2:maximum " << decimal(info.maximum);
    if (const char* property = portProperty(info.role))
        out << " ;\n        lv2:portProperty " << property;
    out << "\n    ]";
    return out.str();
}

std::string description()
{
    std::ostringstream out;
    out << kPrefixes;
    out << pluginRef() << "\n    a lv2:Plugin, lv2:DistortionPlugin, doap:Project ;\n"
        << "    doap:name " << quoted(dranvelor::kEffectName) << " ;\n"
        << "    doap:maintainer [ foaf:name " << quoted(dranvelor::kVendorName) << " ] ;\n"
        << "    doap:release [ doap:revision \"" DRANVELOR_VERSION_TEXT "\" ] ;\n"
        << "    lv2:minorVersion " << DRANVELOR_VERSION_MINOR << " ;\n"
        << "    lv2:microVersion " << DRANVELOR_VERSION_PATCH << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    ui:ui " << uiRef() << " ;\n"
        << "    lv2:port " << audioPort(lv2port::kAudioIn, "Input", "in", "In") << ", "
        << audioPort(lv2port::kAudioOut, "Output", "out", "Out");
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        out << ", " << controlPort(info);
    out << " .\n\n";
    out << uiRef() << "\n    a ui:X11UI ;\n"
        << "    lv2:optionalFeature ui:parent, ui:resize, ui:touch, ui:idleInterface, "
           "opts:options,\n"
        << "        urid:map ;\n"
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    lv2:extensionData ui:idleInterface, ui:showInterface .\n";
    return out.str();
}

std::string presetDescriptions(const std::vector<Preset>& presets)
{
    std::ostringstream out;
    out << kPrefixes;
    for (const Preset& preset : presets)
    {
        out << presetUri(preset.program) << "\n    a pset:Preset ;\n    lv2:appliesTo "
            << pluginRef() << " ;\n    rdfs:label " << quoted(preset.label) << " ;\n"
            << "    lv2:port ";
        for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
            out << (info.index ? ", " : "") << "[\n        lv2:symbol \"" << info.symbol
                << "\" ;\n        pset:value "
                << decimal(preset.values[static_cast<size_t>(info.index)]) << "\n    ]";
        out << " .\n\n";
    }
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
    {
        std::cerr << "dranvelor-lv2-ttl: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: dranvelor-lv2-ttl OUTPUT_FOLDER DSP_BINARY UI_BINARY\n";
        return 2;
    }
    const std::vector<Preset> presets = distinctPrograms(Effect());
    const std::string folder = argv[1];
    const bool written = writeFile(folder + "/manifest.ttl", manifest(presets, argv[2], argv[3])) &&
                         writeFile(folder + "/dranvelor.ttl", description()) &&
                         writeFile(folder + "/presets.ttl", presetDescriptions(presets));
    return written ? 0 : 1;
}

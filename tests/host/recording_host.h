// A host callback that records every call and answers from a table, for tests that check what
// the plug-in asks of its host.
#pragma once

#include "host/vst_interface.h"

#include <map>
#include <string>
#include <vector>

struct HostCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    std::string text; // the pointer read as text, for audioMasterCanDo
};

struct RecordingHost
{
    std::vector<HostCall> calls;
    std::map<VstInt32, VstIntPtr> answers; // opcodes not listed answer 0

    // The callback has no context argument, so the recorder in use is process-wide.
    static RecordingHost*& current()
    {
        static RecordingHost* host = nullptr;
        return host;
    }

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt)
    {
        RecordingHost* host = current();
        HostCall call{effect, opcode, index, value, ptr, opt, {}};
        if (opcode == audioMasterCanDo && ptr)
            call.text = static_cast<const char*>(ptr);
        host->calls.push_back(call);
        const auto answer = host->answers.find(opcode);
        return answer == host->answers.end() ? 0 : answer->second;
    }

    RecordingHost() { current() = this; }
    ~RecordingHost() { current() = nullptr; }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;
};

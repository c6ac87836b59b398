// The host side of the VST callback: what the tool answers a plug-in, and what it was asked.
#pragma once

#include "host/vst_interface.h"

#include <functional>
#include <map>
#include <string>

class HostContext
{
public:
    // Only one context answers the callback at a time: the callback has no other way to find it
    // while a plug-in is still being created.
    HostContext();
    ~HostContext();
    HostContext(const HostContext&) = delete;
    HostContext& operator=(const HostContext&) = delete;

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);

    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    bool trace = false;      // print every call on stderr
    bool printEdits = false; // print automation, edit gestures and size requests on stdout
    bool printIdle = false;  // print "idle" on stdout for each audioMasterIdle
    // Resizes the editor's window; empty while no window is shown.
    std::function<bool(int width, int height)> sizeWindow;

    // How often each opcode was asked, in opcode order.
    const std::map<VstInt32, unsigned long>& calls() const { return calls_; }

private:
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    std::map<VstInt32, unsigned long> calls_;
};

// The name of a host callback opcode, or its number for one outside the interface.
std::string hostOpcodeName(VstInt32 opcode);

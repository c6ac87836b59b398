// A well-formed library that is not a plug-in: it exports no VST entry point.
#if defined(_WIN32)
extern "C" __declspec(dllexport) int notAPlugin()
#else
extern "C" __attribute__((visibility("default"))) int notAPlugin()
#endif
{
    return 42;
}

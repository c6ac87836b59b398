// What a window's lives leave behind: the X server's clients and resources, and the process's
// resident memory.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <unistd.h>

#include <cstdio>

struct ServerLoad
{
    int clients = 0;
    long resources = 0; // windows, pixmaps, graphics contexts, fonts, cursors... of all clients
};

inline ServerLoad serverLoad(Display* display)
{
    XSync(display, False);
    ServerLoad load;
    XResClient* clients = nullptr;
    XResQueryClients(display, &load.clients, &clients);
    for (int i = 0; i < load.clients; ++i)
    {
        int types = 0;
        XResType* counts = nullptr;
        XResQueryClientResources(display, clients[i].resource_base, &types, &counts);
        for (int t = 0; t < types; ++t)
            load.resources += static_cast<long>(counts[t].count);
        XFree(counts);
    }
    XFree(clients);
    return load;
}

inline bool sameLoad(const ServerLoad& now, const ServerLoad& before)
{
    return now.clients == before.clients && now.resources == before.resources;
}

inline long residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* file = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(file);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Resident memory within 4 MB of before: one leaked window would hold its three decoded film
// strips, about 8 MB. Always true under AddressSanitizer, whose quarantine keeps freed memory.
inline bool memoryStayed(long before)
{
#if defined(__SANITIZE_ADDRESS__)
    (void)before;
    return true;
#else
    return residentBytes() < before + 4 * 1024 * 1024;
#endif
}

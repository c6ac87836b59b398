// The skin's PNG files compiled into the Linux library, in place of the Windows resources.
#pragma once

#include <cstddef>

struct EmbeddedPng
{
    int id; // as in resource_ids.h
    const unsigned char* data;
    const unsigned char* end; // one past the last byte
    std::size_t size() const { return static_cast<std::size_t>(end - data); }
};

// The image with that resource id, or null when there is no such image.
const EmbeddedPng* findEmbeddedPng(int id);

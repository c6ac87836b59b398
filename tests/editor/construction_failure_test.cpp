// Every allocation of the effect's construction, the editor's included, fails in turn. Each
// either ends in a complete effect (a picture the editor cannot decode stays empty) or reaches
// the entry point's guard as an exception, leaving nothing behind to be deleted twice.
#include "host/plugin/plugin_effect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace
{
// Allocations left before the next one fails; negative: none fails.
long allocationsBeforeFailure = -1;
long allocationsMade = 0;
} // namespace

// Every form of new and delete is replaced, so that all of them pair with each other (and no
// sanitizer's own forms are mixed in).
void* operator new(std::size_t size)
{
    ++allocationsMade;
    if (allocationsBeforeFailure == 0)
        throw std::bad_alloc();
    if (allocationsBeforeFailure > 0)
        --allocationsBeforeFailure;
    if (void* block = std::malloc(size > 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return operator new(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

namespace
{

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(ConstructionFailure, EveryFailedAllocationLeavesNoEffectOrEditorBehind)
{
    allocationsMade = 0;
    delete createPluginEffect(host);
    const long allocations = allocationsMade;
    ASSERT_GT(allocations, 2);

    int exceptions = 0;
    for (long failing = 0; failing < allocations; ++failing)
    {
        allocationsBeforeFailure = failing;
        AudioEffect* effect = nullptr;
        try
        {
            effect = createPluginEffect(host);
        }
        catch (const std::bad_alloc&)
        {
            ++exceptions;
        }
        allocationsBeforeFailure = -1;
        if (effect)
        {
            EXPECT_NE(effect->getEditor(), nullptr) << "allocation " << failing;
        }
        delete effect;
    }
    EXPECT_GT(exceptions, 1) << "the effect's and the editor's allocations throw";
}

} // namespace

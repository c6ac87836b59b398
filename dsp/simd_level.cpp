#include "dsp/simd_level.h"

#include <cpuid.h>
#include <cstdint>

namespace
{
// Which register states the operating system saves: XCR0 read with XGETBV.
std::uint64_t savedStates()
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

constexpr std::uint64_t kXmmAndYmmStates = 0x6;
constexpr std::uint64_t kAvx512States = 0xE0;
constexpr unsigned kAvx512Features = bit_AVX512F | bit_AVX512DQ | bit_AVX512VL;
} // namespace

SimdLevel widestSimdLevel()
{
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return SimdLevel::sse2;
    const unsigned needed = bit_OSXSAVE | bit_AVX | bit_FMA;
    if ((ecx & needed) != needed || (savedStates() & kXmmAndYmmStates) != kXmmAndYmmStates)
        return SimdLevel::sse2;
    if (__get_cpuid_max(0, nullptr) < 7)
        return SimdLevel::sse2;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    if ((ebx & bit_AVX2) == 0)
        return SimdLevel::sse2;
    const bool avx512 = (ebx & kAvx512Features) == kAvx512Features &&
                        (savedStates() & kAvx512States) == kAvx512States;
    return avx512 ? SimdLevel::avx512 : SimdLevel::avx2;
}

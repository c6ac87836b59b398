// Code that includes the engine's public header must not get instruction-set intrinsics with it:
// they belong to the kernels that use them. The build of the tests fails when one slips in.
#include "dsp/overdrive_processor.h"

// Include guards of GCC's and clang's x86 intrinsics headers.
#if defined(_MMINTRIN_H_INCLUDED) || defined(_XMMINTRIN_H_INCLUDED) ||                             \
    defined(_EMMINTRIN_H_INCLUDED) || defined(_PMMINTRIN_H_INCLUDED) ||                            \
    defined(_TMMINTRIN_H_INCLUDED) || defined(_SMMINTRIN_H_INCLUDED) ||                            \
    defined(_IMMINTRIN_H_INCLUDED) || defined(_X86INTRIN_H_INCLUDED) || defined(__MMINTRIN_H) ||   \
    defined(__XMMINTRIN_H) || defined(__EMMINTRIN_H) || defined(__PMMINTRIN_H) ||                  \
    defined(__TMMINTRIN_H) || defined(__SMMINTRIN_H) || defined(__IMMINTRIN_H) ||                  \
    defined(__X86INTRIN_H)
#error "dsp/overdrive_processor.h pulls in an intrinsics header"
#endif

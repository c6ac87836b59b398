#pragma once

// Constants of the overdrive chain shared by its block kernels.
namespace chain
{
constexpr double kInputGain = 10.0;
constexpr double kLimit = 7.8;
constexpr double kSaturationWeight = 1.2732365673542143;
// Beyond this the filters could overflow into infinities that would never leave their histories;
// non-finite input, and input too large to be audio, counts as silence.
constexpr double kLargestInput = 1e200;
} // namespace chain

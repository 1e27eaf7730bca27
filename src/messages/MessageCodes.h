#pragma once

#include <cstdint>

// The catalogue's codes this program shows, by what they say.
namespace kiv::msg {
constexpr int32_t DetermineFile = 1009;
constexpr int32_t RemovingComponent = 1012;
constexpr int32_t RegisteringComponent = 1016;
constexpr int32_t ErrorHeading = 1018;
constexpr int32_t FileCaption = 1019;
constexpr int32_t ActionCaption = 1020;
constexpr int32_t CopyToDestination = 1051;
constexpr int32_t VerifyFileExists = 1078;
constexpr int32_t LockedExplanation = 1081;
constexpr int32_t LockedAdvice = 1083;
}  // namespace kiv::msg

#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kiv {

// Error numbers of the runtime this program reports to its users. The installation
// error report words 70 specially; the others are shown with their number.
namespace err {
constexpr int32_t InvalidCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t BadFileName = 52;
constexpr int32_t FileNotFound = 53;
constexpr int32_t DeviceIo = 57;
constexpr int32_t FileExists = 58;
constexpr int32_t DiskFull = 61;
constexpr int32_t DeviceUnavailable = 68;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t DiskNotReady = 71;
constexpr int32_t PathFileAccess = 75;
constexpr int32_t PathNotFound = 76;
constexpr int32_t CannotCreateObject = 429;
// A pinned build's refusal of staged files that are not the publisher's: a number of the
// program's own, so that support can tell it from every runtime error.
constexpr int32_t NotFromPublisher = 1100;
}  // namespace err

// The one failure type of the program: the runtime's error number and its description.
// systemCode keeps the operating system's own code, when there was one, for diagnosis.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int32_t number, std::string description, uint32_t systemCode = 0);
    explicit RuntimeError(int32_t number, uint32_t systemCode = 0);

    int32_t Number() const { return number_; }
    const std::string& Description() const { return description_; }
    uint32_t SystemCode() const { return systemCode_; }

private:
    int32_t number_;
    std::string description_;
    uint32_t systemCode_;
};

// The runtime's standard wording for an error number ("Application-defined or
// object-defined error" for numbers it has no text for).
std::string StandardDescription(int32_t number);

// "Run-time error 'N':" followed by two line breaks and the description.
std::string UnhandledErrorText(const RuntimeError& error);

}  // namespace kiv

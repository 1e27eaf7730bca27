#include "platform/RuntimeError.h"

#include <utility>

namespace kiv {

namespace {

struct NumberedText {
    int32_t number;
    const char* text;
};

constexpr NumberedText kDescriptions[] = {
    {err::InvalidCall, "Invalid procedure call or argument"},
    {err::Overflow, "Overflow"},
    {err::OutOfMemory, "Out of memory"},
    {err::BadFileName, "Bad file name or number"},
    {err::FileNotFound, "File not found"},
    {err::DeviceIo, "Device I/O error"},
    {err::FileExists, "File already exists"},
    {err::DiskFull, "Disk full"},
    {err::DeviceUnavailable, "Device unavailable"},
    {err::PermissionDenied, "Permission denied"},
    {err::DiskNotReady, "Disk not ready"},
    {err::PathFileAccess, "Path/File access error"},
    {err::PathNotFound, "Path not found"},
    {err::CannotCreateObject, "ActiveX component can't create object"},
};

}  // namespace

RuntimeError::RuntimeError(int32_t number, std::string description, uint32_t systemCode)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      systemCode_(systemCode) {}

RuntimeError::RuntimeError(int32_t number, uint32_t systemCode)
    : RuntimeError(number, StandardDescription(number), systemCode) {}

std::string StandardDescription(int32_t number) {
    for (const auto& entry : kDescriptions) {
        if (entry.number == number) {
            return entry.text;
        }
    }
    return "Application-defined or object-defined error";
}

std::string UnhandledErrorText(const RuntimeError& error) {
    return "Run-time error '" + std::to_string(error.Number()) + "':\r\n\r\n" + error.Description();
}

}  // namespace kiv

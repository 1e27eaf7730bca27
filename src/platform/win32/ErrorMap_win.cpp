#include "platform/win32/ErrorMap_win.h"

namespace kiv {

int32_t RuntimeNumberOf(DWORD win32Error) {
    switch (win32Error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_MOD_NOT_FOUND:
            return err::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return err::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_USER_MAPPED_FILE:
            return err::PermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return err::DiskFull;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return err::BadFileName;
        case ERROR_NOT_READY:
            return err::DiskNotReady;
        case ERROR_INVALID_DRIVE:
            return err::DeviceUnavailable;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return err::FileExists;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return err::OutOfMemory;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
            return err::DeviceIo;
        case ERROR_INVALID_PARAMETER:
            return err::InvalidCall;
        default:
            return err::PathFileAccess;
    }
}

RuntimeError ErrorFromWin32(DWORD win32Error) {
    return RuntimeError(RuntimeNumberOf(win32Error), win32Error);
}

RuntimeError LastError() { return ErrorFromWin32(GetLastError()); }

}  // namespace kiv

#include "platform/win32/ShellFolders_win.h"

#include <shlobj.h>

#include <algorithm>
#include <type_traits>

#include "platform/win32/Modules_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

// Bound by name, so typed by hand: the SDK's declaration keeps the type honest.
static_assert(std::is_same_v<Win32ShellFolders::GetFolderPathW, decltype(&SHGetFolderPathW)>);

// The shell writes a path and its NUL into the buffer and leaves the rest as it was, so
// the whole buffer goes back to the caller, who cuts it. Both calls take no size and may
// write MAX_PATH characters, so the buffer is never shorter than that.
std::wstring WideBuffer(const std::string& buffer) {
    return std::wstring(std::max<size_t>(buffer.size(), MAX_PATH), L' ');
}

}  // namespace

Win32ShellFolders::GetFolderPathW Win32ShellFolders::BindGetFolderPath() {
    // Bound by name at the first call: the program must start where shfolder is missing.
    if (!bound_) {
        bound_ = true;
        Win32Modules modules;
        shfolder_.Reset(reinterpret_cast<HMODULE>(modules.LoadSystemLibrary("shfolder")));
        if (shfolder_) {
            getFolderPath_ = reinterpret_cast<GetFolderPathW>(
                reinterpret_cast<void*>(GetProcAddress(shfolder_.Get(), "SHGetFolderPathW")));
        }
    }
    return getFolderPath_;
}

int32_t Win32ShellFolders::GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) {
    const GetFolderPathW call = BindGetFolderPath();
    if (call == nullptr) {
        return hr::NotImplemented;
    }
    std::wstring wide = WideBuffer(buffer);
    const HRESULT result = call(nullptr, csidl, nullptr, flags, wide.data());
    if (result == S_OK) {
        buffer = ToUtf8(wide);
    }
    return result;
}

int32_t Win32ShellFolders::GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) {
    PIDLIST_ABSOLUTE items = nullptr;
    const HRESULT result = SHGetSpecialFolderLocation(nullptr, csidl, &items);
    if (result == S_OK) {
        list = reinterpret_cast<ItemIdList>(items);
    }
    return result;
}

bool Win32ShellFolders::GetPathFromIdList(ItemIdList list, std::string& buffer) {
    std::wstring wide = WideBuffer(buffer);
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(list), wide.data())) {
        return false;
    }
    buffer = ToUtf8(wide);
    return true;
}

void Win32ShellFolders::FreeIdList(ItemIdList list) {
    CoTaskMemFree(reinterpret_cast<void*>(list));
}

}  // namespace kiv

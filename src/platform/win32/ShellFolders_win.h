#pragma once

#include <windows.h>

#include "platform/IShellFolders.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

class Win32ShellFolders final : public IShellFolders {
public:
    using GetFolderPathW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    int32_t GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) override;
    int32_t GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) override;
    bool GetPathFromIdList(ItemIdList list, std::string& buffer) override;
    void FreeIdList(ItemIdList list) override;

private:
    GetFolderPathW BindGetFolderPath();

    ScopedLibrary shfolder_;
    GetFolderPathW getFolderPath_ = nullptr;
    bool bound_ = false;
};

}  // namespace kiv

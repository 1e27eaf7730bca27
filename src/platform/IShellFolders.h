#pragma once

#include <cstdint>
#include <string>

namespace kiv {

using ItemIdList = std::uintptr_t;

namespace hr {
constexpr int32_t Ok = 0;
constexpr int32_t False = 1;
constexpr int32_t InvalidArg = static_cast<int32_t>(0x80070057u);
constexpr int32_t NotImplemented = static_cast<int32_t>(0x80004001u);
}  // namespace hr

// The shell's special-folder calls. Paths are written into a caller-made buffer the way
// the system writes them: the text, a NUL, and whatever the buffer held after it.
struct IShellFolders {
    virtual ~IShellFolders() = default;
    // SHGetFolderPath of shfolder.dll, bound when first called; owner window and access
    // token are always 0.
    virtual int32_t GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) = 0;
    // SHGetSpecialFolderLocation with owner window 0; list is set on success only.
    virtual int32_t GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) = 0;
    virtual bool GetPathFromIdList(ItemIdList list, std::string& buffer) = 0;
    // CoTaskMemFree of an item-identifier list.
    virtual void FreeIdList(ItemIdList list) = 0;
};

}  // namespace kiv

#include "engine/FileList.h"

#include "platform/IFiles.h"

namespace kiv {

void FileList::SetPath(const std::string& folder) {
    names_ = files_.ListFiles(folder);
    path_ = folder;
}

void FileList::Refresh() {
    names_ = files_.ListFiles(path_);
}

}  // namespace kiv

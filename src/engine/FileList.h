#pragma once

#include <string>
#include <vector>

namespace kiv {

struct IFiles;

// The file list of the hidden form: a folder's plain files, names only.
class FileList {
public:
    explicit FileList(IFiles& files) : files_(files) {}

    // Raises 76 when the folder does not exist; the list then keeps its old folder.
    void SetPath(const std::string& folder);
    const std::string& Path() const { return path_; }
    // Reads the folder again.
    void Refresh();
    int ListCount() const { return static_cast<int>(names_.size()); }
    const std::string& List(int index) const { return names_.at(static_cast<size_t>(index)); }

private:
    IFiles& files_;
    std::string path_;
    std::vector<std::string> names_;
};

}  // namespace kiv

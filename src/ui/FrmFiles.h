#pragma once

#include "engine/FileList.h"

namespace kiv {

// Never shown: it carries the file list through which the pass reads the staging folder.
struct FrmFiles {
    explicit FrmFiles(IFiles& files) : FileList1(files) {}
    FileList FileList1;
};

}  // namespace kiv

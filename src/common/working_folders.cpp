#include "common/working_folders.h"

#include <filesystem>

#include "common/error_log.h"
#include "common/record_file.h"
#include "common/paths.h"

namespace common {

void CreateWorkingFolders(std::string_view step) {
    // create_directory says false for an existing folder, which is what we want.
    for (std::string_view folder : kWorkingFolders)
        PassOver(step, [&] { CreateFolders(AppPath(folder)); });
}

}  // namespace common

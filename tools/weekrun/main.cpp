// weekrun: runs named steps of the week on an application folder, without windows.
//   weekrun --app DIR [--quiet] [--times] step...

#include <iostream>
#include <string>
#include <vector>

#include "common/process_memory.h"
#include "run.h"

int main(int argc, char** argv) {
    common::KeepFreedMemoryForReuse();
    return weekrun::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

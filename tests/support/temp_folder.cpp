#include "support/temp_folder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

#include "common/paths.h"

namespace testsupport {

namespace fs = std::filesystem;

TempAppFolder::TempAppFolder() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    std::ostringstream name;
    name << "talmor-test-" << ::getpid() << '-' << counter++ << '-' << rd();
    path_ = fs::temp_directory_path() / name.str();
    fs::create_directories(path_);
    common::SetAppFolder(path_.string() + "/");
}

TempAppFolder::~TempAppFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path TempAppFolder::operator/(std::string_view relative) const { return path_ / fs::path(relative); }

void TempAppFolder::Write(std::string_view relative, std::string_view bytes) const {
    fs::path p = *this / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempAppFolder::Read(std::string_view relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempAppFolder::Exists(std::string_view relative) const { return fs::exists(*this / relative); }

std::map<std::string, std::string> TempAppFolder::Files(std::string_view relative) const {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(*this / relative, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        const std::string name = fs::relative(it->path(), path_).generic_string();
        files.emplace(name, Read(name));
    }
    return files;
}

}  // namespace testsupport

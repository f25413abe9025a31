#include "console_host.h"

namespace weekrun {

std::string BoxName(common::StatusBox box) {
    if (box == common::StatusBox::Label1) return "Label1";
    return "Text" + std::to_string(static_cast<int>(box));
}

void ConsoleHost::messageBox(std::string_view text) {
    ++messages_;
    out_ << "[MsgBox] " << text << '\n';
}

void ConsoleHost::setStatus(common::StatusBox box, std::string_view text) {
    if (!quiet_) out_ << '[' << BoxName(box) << "] " << text << '\n';
}

void ConsoleHost::setLabelColour(std::uint32_t colour) {
    if (!quiet_) out_ << "[Label1 colour] " << colour << '\n';
}

void ConsoleHost::startProgram(const std::filesystem::path& program) {
    // Without a desktop there is nothing to start; say what would have run.
    out_ << "[Start] " << program.string() << " (not started)\n";
}

void ConsoleHost::openUrl(std::string_view url) { out_ << "[Url] " << url << " (not opened)\n"; }

}  // namespace weekrun

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
    const std::string name = BoxName(box);
    lastTexts_.insert_or_assign(name, std::string(text));
    if (!quiet_) out_ << '[' << name << "] " << text << '\n';
}

void ConsoleHost::ShowInWindow(std::string_view box, std::string_view text) {
    lastTexts_.insert_or_assign(std::string(box), std::string(text));
    out_ << '[' << box << "] " << text << '\n';
}

std::string ConsoleHost::LastText(std::string_view box) const {
    const auto it = lastTexts_.find(box);
    return it == lastTexts_.end() ? std::string() : it->second;
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

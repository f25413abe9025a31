#include "support/recording_host.h"

namespace testsupport {

void RecordingHost::messageBox(std::string_view text) { calls.push_back({"messageBox", std::string(text), 0}); }

void RecordingHost::setStatus(common::StatusBox box, std::string_view text) {
    calls.push_back({"setStatus", std::string(text), static_cast<int>(box)});
    status[static_cast<int>(box)] = std::string(text);
}

void RecordingHost::setLabelColour(std::uint32_t colour) {
    calls.push_back({"setLabelColour", "", static_cast<int>(colour)});
    labelColour = colour;
}

void RecordingHost::pumpEvents() { calls.push_back({"pumpEvents", "", 0}); }

void RecordingHost::startProgram(const std::filesystem::path& program) {
    calls.push_back({"startProgram", program.string(), 0});
}

void RecordingHost::openUrl(std::string_view url) { calls.push_back({"openUrl", std::string(url), 0}); }

std::vector<std::string> RecordingHost::Messages() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.what == "messageBox") out.push_back(c.text);
    return out;
}

std::string RecordingHost::Status(common::StatusBox box) const {
    auto it = status.find(static_cast<int>(box));
    return it == status.end() ? std::string() : it->second;
}

}  // namespace testsupport

#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/host.h"

namespace testsupport {

/// A Host that records every call, for tests. today() returns `date`.
class RecordingHost : public common::Host {
public:
    struct Call {
        std::string what;   // "messageBox", "setStatus", "setLabelColour", "pumpEvents", "startProgram", "openUrl"
        std::string text;   // the text, path or url ("" for pumpEvents)
        int box = 0;        // status box number (7 for Label1) or the colour for setLabelColour
    };

    void messageBox(std::string_view text) override;
    void setStatus(common::StatusBox box, std::string_view text) override;
    void setLabelColour(std::uint32_t colour) override;
    void pumpEvents() override;
    std::chrono::year_month_day today() override { return date; }
    void startProgram(const std::filesystem::path& program) override;
    void openUrl(std::string_view url) override;

    std::vector<std::string> Messages() const;
    /// Last text set on a box ("" if never set).
    std::string Status(common::StatusBox box) const;

    std::chrono::year_month_day date{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{10}};
    std::vector<Call> calls;
    std::uint32_t labelColour = common::kLabelMagenta;
    std::map<int, std::string> status;
};

}  // namespace testsupport

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

#include "common/host.h"

namespace weekrun {

/// A Host for running steps without windows: status and message texts go to a stream with the
/// box's name, message boxes answer OK at once, pending events are nothing to do. It keeps the
/// last text of every box, so that a step can tell how it ended.
class ConsoleHost : public common::Host {
public:
    /// `out`: status texts and messages; `data`: what a step lists (the batch's race list, ...).
    ConsoleHost(std::ostream& out, bool quiet, std::ostream& data = std::cout)
        : out_(out), data_(data), quiet_(quiet) {}

    void messageBox(std::string_view text) override;
    void setStatus(common::StatusBox box, std::string_view text) override;
    void setLabelColour(std::uint32_t colour) override;
    void pumpEvents() override {}
    std::chrono::year_month_day today() override { return common::LocalToday(); }
    void startProgram(const std::filesystem::path& program) override;
    void openUrl(std::string_view url) override;

    /// A status box of a step's own window ("Cancel Text1"): always printed, and kept like the
    /// main menu's boxes.
    void ShowInWindow(std::string_view box, std::string_view text);
    /// The last text of a box ("Text4", "Cancel Text1"); empty when nothing was written there.
    std::string LastText(std::string_view box) const;

    std::ostream& Data() { return data_; }
    int MessageCount() const { return messages_; }

private:
    std::ostream& out_;
    std::ostream& data_;
    bool quiet_;
    int messages_ = 0;
    std::map<std::string, std::string, std::less<>> lastTexts_;
};

/// The name a status box has on the main menu ("Text1" ... "Label1").
std::string BoxName(common::StatusBox box);

}  // namespace weekrun

#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "common/host.h"

namespace weekrun {

/// A Host for running steps without windows: status and message texts go to a stream with the
/// box's name, message boxes answer OK at once, pending events are nothing to do.
class ConsoleHost : public common::Host {
public:
    ConsoleHost(std::ostream& out, bool quiet) : out_(out), quiet_(quiet) {}

    void messageBox(std::string_view text) override;
    void setStatus(common::StatusBox box, std::string_view text) override;
    void setLabelColour(std::uint32_t colour) override;
    void pumpEvents() override {}
    std::chrono::year_month_day today() override { return common::LocalToday(); }
    void startProgram(const std::filesystem::path& program) override;
    void openUrl(std::string_view url) override;

    int MessageCount() const { return messages_; }

private:
    std::ostream& out_;
    bool quiet_;
    int messages_ = 0;
};

/// The name a status box has on the main menu ("Text1" ... "Label1").
std::string BoxName(common::StatusBox box);

}  // namespace weekrun

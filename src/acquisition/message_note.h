#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/host.h"

namespace acquisition {

/// A fetch's own host, which passes everything on and keeps the last message shown, so that a
/// fetch that ends on a message (an open or read error, nothing to read) can tell which.
class MessageNote final : public common::Host {
public:
    explicit MessageNote(common::Host& host) : host_(host) {}
    void messageBox(std::string_view text) override {
        last_ = text;
        host_.messageBox(text);
    }
    void setStatus(common::StatusBox box, std::string_view text) override { host_.setStatus(box, text); }
    void setLabelColour(std::uint32_t colour) override { host_.setLabelColour(colour); }
    void pumpEvents() override { host_.pumpEvents(); }
    std::chrono::year_month_day today() override { return host_.today(); }
    void startProgram(const std::filesystem::path& program) override { host_.startProgram(program); }
    void openUrl(std::string_view url) override { host_.openUrl(url); }
    /// The last message shown, "" when there was none.
    const std::string& Last() const { return last_; }

private:
    common::Host& host_;
    std::string last_;
};

}  // namespace acquisition

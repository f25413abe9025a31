#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// How core code reaches the user: the main menu implements it with windows, tests with a
// recording fake.
namespace common {

/// The main menu's status boxes and its state label.
enum class StatusBox { Text1 = 1, Text2, Text3, Text4, Text5, Text6, Label1 };

/// Colours as the classic 0x00BBGGRR values.
inline constexpr std::uint32_t kLabelMagenta = 16744703;  // 0xFF80FF, the state label's design colour
inline constexpr std::uint32_t kLabelGreen = 8454016;     // 0x80FF80, weights present

class Host {
public:
    virtual ~Host() = default;
    /// A message box with an OK button only; returns when the user has closed it.
    virtual void messageBox(std::string_view text) = 0;
    /// Text of a status box or of the state label.
    virtual void setStatus(StatusBox box, std::string_view text) = 0;
    /// Background colour of the state label.
    virtual void setLabelColour(std::uint32_t colour) = 0;
    /// Lets pending window events run once.
    virtual void pumpEvents() = 0;
    /// Today's local date.
    virtual std::chrono::year_month_day today() = 0;
    /// Starts a program minimised without waiting for it.
    virtual void startProgram(const std::filesystem::path& program) = 0;
    /// Opens a web address in the default browser.
    virtual void openUrl(std::string_view url) = 0;
};

/// Today's local date from the system clock.
std::chrono::year_month_day LocalToday();

}  // namespace common

// demoweek: writes a made-up but complete race week into an application folder.
#include <chrono>
#include <exception>
#include <iostream>

#include "options.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    demoweek::Options options;
    bool help = false;
    std::string error;
    if (!demoweek::ParseOptions(args, options, help, error)) {
        std::cerr << "demoweek: " << error << "\n" << demoweek::Usage();
        return 2;
    }
    if (help) {
        std::cout << demoweek::Usage();
        return 0;
    }
    try {
        const auto start = std::chrono::steady_clock::now();
        const demoweek::Summary summary = demoweek::GenerateWeek(options);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "demoweek: " << (options.state == demoweek::WeekState::Before ? "before the races" : "after the results")
                  << ", week of " << options.saturday.Ymd() << ", seed " << options.seed << ", into " << options.folder.string()
                  << "\n"
                  << summary.Text() << "written in " << seconds << " s\n";
    } catch (const std::exception& e) {
        std::cerr << "demoweek: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

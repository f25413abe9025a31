// How long a factor-weight window takes to open: the model read, thirty grids filled, the charts
// drawn, and the first paint. Offscreen, on the largest model the files allow (30 items of 6000
// categories, turf) and on the full demo week's three models; several rounds each, a fresh window
// every round (a closed window is loaded again). The model read alone is timed beside it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

#include "bench_week.h"
#include "common/record_file.h"
#include "engine/model_tables.h"
#include "factorview/factor_weights_window.h"
#include "generator.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s rounds %zu  median %7.1f ms  slowest %7.1f ms\n", what, ms.size(), ms[ms.size() / 2], ms.back());
}

// Thirty items of 6000 categories each, one value a line, as the supplied files hold them.
void WriteLargestTurfModel(const bench::TempAppFolder& folder) {
    std::string total, labels, counts, agari, pace, soha;
    for (int k = 1; k <= engine::kItemCount; ++k) {
        total += "6000\r\n";
        for (int j = 1; j <= engine::kMaxCategories; ++j) {
            labels += "\"" + bench::Number(k * 10000 + j, 6) + "\"\r\n";
            counts += std::to_string(j * 7 % 9973) + "\r\n";
            const double w = (j % 4000 - 2000) / 997.0;
            agari += std::to_string(w) + "\r\n";
            pace += "0.5\r\n";
            soha += std::to_string(-w) + "\r\n";
        }
    }
    const std::filesystem::path dir = folder / "OPTION1N";
    std::filesystem::create_directories(dir);
    common::WriteFileAtomically(dir / "QA1SibaTotalData201901N2025.dat", total);
    common::WriteFileAtomically(dir / "SibaItemCategory201901N2025.dat", labels);
    common::WriteFileAtomically(dir / "SibaItemCategoryCount201901N2025.dat", counts);
    common::WriteFileAtomically(dir / "QA1SibaAgariWeightData201901N2025.dat", agari);
    common::WriteFileAtomically(dir / "QA1SibaPaceWeightData201901N2025.dat", pace);
    common::WriteFileAtomically(dir / "QA1SibaSohaWeightData201901N2025.dat", soha);
}

void Measure(const char* what, engine::Surface surface, int rounds) {
    bench::QuietHost host;
    std::vector<double> read, open, painted;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        (void)engine::LoadModelTables(surface, engine::ModelScope::Weights);
        read.push_back(Ms(Clock::now() - start));

        start = Clock::now();
        QWidget* window = factorview::OpenFactorWeights(surface, host);
        const auto shown = Clock::now();
        QCoreApplication::processEvents();
        const auto done = Clock::now();
        if (!window) {
            std::printf("%s: the model could not be read\n", what);
            return;
        }
        open.push_back(Ms(shown - start));
        painted.push_back(Ms(done - start));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("%s\n", what);
    Print("  model read alone", read);
    Print("  opening (read, fill, show)", open);
    Print("  opening and first paint", painted);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRounds = 5;
    {
        bench::TempAppFolder folder("factorview-bench-largest");
        WriteLargestTurfModel(folder);
        Measure("largest turf model (30 items x 6000 categories)", engine::Surface::Siba, kRounds);
    }
    {
        bench::TempAppFolder folder("factorview-bench-demo");
        demoweek::Options options;
        options.folder = folder.Path();
        options.scale = demoweek::FullScale();
        std::printf("writing the full demo week...\n");
        demoweek::GenerateWeek(options);
        Measure("full demo week, turf", engine::Surface::Siba, kRounds);
        Measure("full demo week, dirt", engine::Surface::Dirt, kRounds);
        Measure("full demo week, hurdle", engine::Surface::Shog, kRounds);
    }
    return 0;
}

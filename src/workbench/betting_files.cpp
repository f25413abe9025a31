#include "workbench/betting_files.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/text_file.h"

namespace workbench {

namespace {

void CheckRaceKey(std::string_view raceKey12) {
    if (raceKey12.size() != 12 || !common::IsDigits(raceKey12))
        throw std::invalid_argument("race key \"" + std::string(raceKey12) + "\" is not twelve digits");
}

/// Ticket lines of one tag, "<race key>","<tag>","<ticket>",<value>... with CR LF, as
/// WrittenFields joins them, written straight into the file's bytes: a race's ticket files hold
/// some six thousand lines, and a field list and a line string for each cost more than the bytes.
class TicketLines {
public:
    TicketLines(std::string_view raceKey12, std::string_view tag, std::size_t lines)
        : prefix_(common::WrittenFields({std::string(raceKey12), std::string(tag)}) + ",\"") {
        out_.reserve(lines * (prefix_.size() + 24));
    }
    /// One line: the ticket key in quotes, then the values' number texts.
    template <class... Values>
    void Add(std::string_view ticket, Values... values) {
        out_ += prefix_;
        out_ += ticket;
        out_ += '"';
        char text[common::kSingleTextMax];
        ((out_ += ',', out_.append(text, common::SingleTextTo(text, values))), ...);
        out_ += "\r\n";
    }
    std::string Take() { return std::move(out_); }

private:
    std::string prefix_;
    std::string out_;
};

std::string SortLines(std::string_view raceKey12, std::string_view tag, const std::vector<std::string>& keys,
                      const std::vector<float>& values, int count) {
    TicketLines out(raceKey12, tag, static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 1; k <= count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        out.Add(keys[i], values[i]);
    }
    return out.Take();
}

std::string_view At(const std::vector<std::string>& list, int k) { return list[static_cast<std::size_t>(k)]; }

/// The horse number at place k (from 0) of a ticket key.
std::string_view Horse(std::string_view key, std::size_t k) { return key.substr(2 * k, 2); }

}  // namespace

BetLines::BetLines(std::string_view raceKey12, std::string_view code)
    : prefix_(std::string(raceKey12.substr(0, 8)) + "," + std::string(raceKey12.substr(8, 2)) + "," +
              std::string(raceKey12.substr(10, 2)) + "," + std::string(code) + ",") {}

void BetLines::Add(std::initializer_list<std::string_view> horses) {
    out_ += prefix_;
    bool first = true;
    for (std::string_view h : horses) {
        if (!first) out_ += '-';
        out_ += h;
        first = false;
    }
    out_ += ",100\r\n";
}

std::string BetCsvFileName(std::string_view folder, std::string_view raceKey12, std::string_view courseName) {
    CheckRaceKey(raceKey12);
    if (!common::IsPlainFileNamePart(courseName))
        throw std::invalid_argument("course name \"" + std::string(courseName) + "\" cannot be part of a file name");
    return std::string(folder) + "/" + std::string(raceKey12.substr(2, 6)) + std::string(courseName) +
           std::string(raceKey12.substr(10, 2)) + "R.csv";
}

std::string KaimeTicketLines(std::string_view raceKey12, const RaceTickets& t) {
    const auto lines = [&](const std::vector<CreatedTicket>& created, std::string_view tag) {
        TicketLines out(raceKey12, tag, created.size());
        for (const CreatedTicket& c : created) out.Add(c.Key, c.Value, c.SpeedSum, c.CorrectionSum);
        return out.Take();
    };
    return lines(t.UmarenCreated, "Umaren") + lines(t.SanrenCreated, "Sanrenpuku");
}

KaimeSortFiles KaimeSortFileBytes(std::string_view raceKey12, const RaceTickets& t) {
    return {SortLines(raceKey12, "Umaren", t.UmarenKumiStr, t.UmarenValue, t.UmarenKumiCount),
            SortLines(raceKey12, "Umatan", t.UmarenKumiList, t.UmarenValue, t.UmarenKumiCount),
            SortLines(raceKey12, "Sanrenpuke", t.SanrenKumiStr, t.SanrenValue, t.SanrenKumiCount),
            SortLines(raceKey12, "sanrentan", t.SanrenKumiList, t.SanrenValue, t.SanrenKumiCount)};
}

std::string KaimeFileName(std::string_view raceKey12, std::string_view suffix) {
    CheckRaceKey(raceKey12);
    return "KAIME/" + std::string(raceKey12) + std::string(suffix);
}

std::array<BetCsvFile, 5> BetCsvFiles(std::string_view raceKey12, std::string_view courseName, const RaceTickets& t) {
    auto name = [&](std::string_view folder) { return BetCsvFileName(folder, raceKey12, courseName); };
    const std::string umarenFile = name("UMAREN");  // checks the key and the course first
    const int pairs7 = std::min(7, t.UmarenKumiCount);
    const int pairs3 = std::min(3, t.UmarenKumiCount);
    const int trios10 = std::min(10, t.SanrenKumiCount);

    BetLines umaren(raceKey12, "04");
    for (int k = 1; k <= pairs7; ++k) umaren.Add({Horse(At(t.UmarenKumiStr, k), 0), Horse(At(t.UmarenKumiStr, k), 1)});
    BetLines wide(raceKey12, "05");
    for (int k = 1; k <= pairs3; ++k) wide.Add({Horse(At(t.UmarenKumiStr, k), 0), Horse(At(t.UmarenKumiStr, k), 1)});
    BetLines umatan(raceKey12, "06");
    for (int k = 1; k <= pairs7; ++k) {
        const std::string_view a = Horse(At(t.UmarenKumiList, k), 0);
        const std::string_view b = Horse(At(t.UmarenKumiList, k), 1);
        umatan.Add({a, b});
        umatan.Add({b, a});
    }
    BetLines sanrenpuku(raceKey12, "07");
    for (int k = 1; k <= trios10; ++k) {
        const std::string_view key = At(t.SanrenKumiStr, k);
        sanrenpuku.Add({Horse(key, 0), Horse(key, 1), Horse(key, 2)});
    }
    BetLines sanrentan(raceKey12, "08");
    for (int k = 1; k <= trios10; ++k) {
        const std::string_view key = At(t.SanrenKumiList, k);
        const std::string_view a = Horse(key, 0), b = Horse(key, 1), c = Horse(key, 2);
        sanrentan.Add({a, b, c});
        sanrentan.Add({a, c, b});
        sanrentan.Add({b, a, c});
        sanrentan.Add({b, c, a});
        sanrentan.Add({c, a, b});
        sanrentan.Add({c, b, a});
    }
    std::array<BetCsvFile, 5> files{{{umarenFile, umaren.Take()},
                                     {name("WIDE"), wide.Take()},
                                     {name("UMATAN"), umatan.Take()},
                                     {name("SANRENPUKU"), sanrenpuku.Take()},
                                     {name("SANRENTAN"), sanrentan.Take()}}};
    return files;
}

}  // namespace workbench

#include "workbench/tickets.h"

#include <utility>

#include "common/numbers.h"
#include "common/quicksort.h"

namespace workbench {

namespace {

float At(const std::vector<float>& values, int horse) {
    return horse >= 0 && static_cast<std::size_t>(horse) < values.size() ? values[static_cast<std::size_t>(horse)] : 0.0f;
}

/// The ranking value of the horse number written in characters 2k+1..2k+2 of a key.
float ValueOfHorse(std::string_view key, std::size_t k, const std::vector<float>& yosoValue) {
    return At(yosoValue, static_cast<int>(common::Val(key.substr(2 * k, 2))));
}

}  // namespace

RaceTickets MakeTickets(const std::vector<float>& yosoSpeed, const std::vector<float>& correction,
                        const std::vector<float>& yosoValue, int n) {
    RaceTickets t;
    t.UmarenKumiList.emplace_back();
    t.UmarenValue.push_back(0.0f);
    for (int h = 1; h <= n; ++h) {
        for (int j = h + 1; j <= n; ++j) {
            CreatedTicket pair;
            pair.Key = common::TwoDigits(h) + common::TwoDigits(j);
            pair.SpeedSum = At(yosoSpeed, h) + At(yosoSpeed, j);
            pair.CorrectionSum = At(correction, h) + At(correction, j);
            const float first = At(yosoSpeed, h) + At(correction, h);
            const float second = first + At(yosoSpeed, j);
            pair.Value = second + At(correction, j);
            t.UmarenKumiList.push_back(pair.Key);
            t.UmarenValue.push_back(pair.Value);
            t.UmarenCreated.push_back(std::move(pair));
        }
    }
    t.UmarenKumiCount = static_cast<int>(t.UmarenCreated.size());
    common::QuickSortDescending(t.UmarenValue, t.UmarenKumiList, 1, t.UmarenKumiCount);
    t.UmarenKumiStr = t.UmarenKumiList;
    // The exacta order: the horse of the higher value first; equal values keep the lower number.
    for (int k = 1; k <= t.UmarenKumiCount; ++k) {
        std::string& key = t.UmarenKumiList[static_cast<std::size_t>(k)];
        if (ValueOfHorse(key, 1, yosoValue) > ValueOfHorse(key, 0, yosoValue)) key = key.substr(2, 2) + key.substr(0, 2);
    }

    t.SanrenKumiList.emplace_back();
    t.SanrenValue.push_back(0.0f);
    for (int h = 1; h <= n; ++h) {
        for (int j = h + 1; j <= n; ++j) {
            for (int l = j + 1; l <= n; ++l) {
                CreatedTicket trio;
                trio.Key = common::TwoDigits(h) + common::TwoDigits(j) + common::TwoDigits(l);
                const float speeds = At(yosoSpeed, h) + At(yosoSpeed, j);
                trio.SpeedSum = speeds + At(yosoSpeed, l);
                const float corrections = At(correction, h) + At(correction, j);
                trio.CorrectionSum = corrections + At(correction, l);
                trio.Value = trio.SpeedSum + trio.CorrectionSum;
                t.SanrenKumiList.push_back(trio.Key);
                t.SanrenValue.push_back(trio.Value);
                t.SanrenCreated.push_back(std::move(trio));
            }
        }
    }
    t.SanrenKumiCount = static_cast<int>(t.SanrenCreated.size());
    common::QuickSortDescending(t.SanrenValue, t.SanrenKumiList, 1, t.SanrenKumiCount);
    t.SanrenKumiStr = t.SanrenKumiList;
    for (int k = 1; k <= t.SanrenKumiCount; ++k) {
        std::string& key = t.SanrenKumiList[static_cast<std::size_t>(k)];
        key = OrderSantanKumi(key, yosoValue);
    }
    return t;
}

std::string OrderSantanKumi(std::string_view trio, const std::vector<float>& yosoValue) {
    std::string a(trio.substr(0, 2));
    std::string b(trio.substr(2, 2));
    std::string c(trio.substr(4, 2));
    const auto value = [&](const std::string& horse) { return At(yosoValue, static_cast<int>(common::Val(horse))); };
    if (value(b) < value(c)) std::swap(b, c);
    if (value(a) < value(b)) std::swap(a, b);
    if (value(b) < value(c)) std::swap(b, c);
    return a + b + c;
}

}  // namespace workbench

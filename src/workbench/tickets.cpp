#include "workbench/tickets.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "common/numbers.h"
#include "common/quicksort.h"

namespace workbench {

namespace {

float At(const std::vector<float>& values, int horse) {
    return horse >= 0 && static_cast<std::size_t>(horse) < values.size() ? values[static_cast<std::size_t>(horse)] : 0.0f;
}

std::string KeyOf(std::initializer_list<int> horses) {
    std::string key;
    for (int h : horses) key += common::TwoDigits(h);
    return key;
}

/// The tickets' keys at their sorted places: `order` holds, from place 1, the creation index of
/// the ticket at each place.
std::vector<std::string> SortedKeys(const std::vector<CreatedTicket>& created, const std::vector<int>& order) {
    std::vector<std::string> keys;
    keys.reserve(order.size());
    keys.emplace_back();
    for (std::size_t k = 1; k < order.size(); ++k) keys.push_back(created[static_cast<std::size_t>(order[k])].Key);
    return keys;
}

/// A, B, C by three compare-and-exchange steps on the ranking values (strict, so equal values
/// keep their order).
template <class Horse, class ValueOf>
void OrderAbc(Horse& a, Horse& b, Horse& c, ValueOf value) {
    if (value(b) < value(c)) std::swap(b, c);
    if (value(a) < value(b)) std::swap(a, b);
    if (value(b) < value(c)) std::swap(b, c);
}

}  // namespace

RaceTickets MakeTickets(const std::vector<float>& yosoSpeed, const std::vector<float>& correction,
                        const std::vector<float>& yosoValue, int n) {
    // The sort moves each ticket's creation index along with its value (the exchanges follow the
    // values alone), and the keys are laid out by place afterwards from the horses kept here.
    RaceTickets t;
    const auto pairs = static_cast<std::size_t>(n > 1 ? n * (n - 1) / 2 : 0);
    const auto trios = static_cast<std::size_t>(n > 2 ? n * (n - 1) * (n - 2) / 6 : 0);
    std::vector<std::array<int, 3>> horses;
    horses.reserve(std::max(pairs, trios));
    std::vector<int> order{0};
    order.reserve(std::max(pairs, trios) + 1);
    t.UmarenCreated.reserve(pairs);
    t.UmarenValue.reserve(pairs + 1);
    t.UmarenValue.push_back(0.0f);
    for (int h = 1; h <= n; ++h) {
        for (int j = h + 1; j <= n; ++j) {
            CreatedTicket pair;
            pair.Key = KeyOf({h, j});
            pair.SpeedSum = At(yosoSpeed, h) + At(yosoSpeed, j);
            pair.CorrectionSum = At(correction, h) + At(correction, j);
            const float first = At(yosoSpeed, h) + At(correction, h);
            const float second = first + At(yosoSpeed, j);
            pair.Value = second + At(correction, j);
            order.push_back(static_cast<int>(t.UmarenCreated.size()));
            horses.push_back({h, j, 0});
            t.UmarenValue.push_back(pair.Value);
            t.UmarenCreated.push_back(std::move(pair));
        }
    }
    t.UmarenKumiCount = static_cast<int>(t.UmarenCreated.size());
    common::QuickSortDescending(t.UmarenValue, order, 1, t.UmarenKumiCount);
    t.UmarenKumiStr = SortedKeys(t.UmarenCreated, order);
    // The exacta order: the horse of the higher value first; equal values keep the lower number.
    t.UmarenKumiList = t.UmarenKumiStr;
    for (int k = 1; k <= t.UmarenKumiCount; ++k) {
        const auto [h, j, unused] = horses[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
        if (At(yosoValue, j) > At(yosoValue, h)) t.UmarenKumiList[static_cast<std::size_t>(k)] = KeyOf({j, h});
    }

    horses.clear();
    order.assign(1, 0);
    t.SanrenCreated.reserve(trios);
    t.SanrenValue.reserve(trios + 1);
    t.SanrenValue.push_back(0.0f);
    for (int h = 1; h <= n; ++h) {
        for (int j = h + 1; j <= n; ++j) {
            for (int l = j + 1; l <= n; ++l) {
                CreatedTicket trio;
                trio.Key = KeyOf({h, j, l});
                const float speeds = At(yosoSpeed, h) + At(yosoSpeed, j);
                trio.SpeedSum = speeds + At(yosoSpeed, l);
                const float corrections = At(correction, h) + At(correction, j);
                trio.CorrectionSum = corrections + At(correction, l);
                trio.Value = trio.SpeedSum + trio.CorrectionSum;
                order.push_back(static_cast<int>(t.SanrenCreated.size()));
                horses.push_back({h, j, l});
                t.SanrenValue.push_back(trio.Value);
                t.SanrenCreated.push_back(std::move(trio));
            }
        }
    }
    t.SanrenKumiCount = static_cast<int>(t.SanrenCreated.size());
    common::QuickSortDescending(t.SanrenValue, order, 1, t.SanrenKumiCount);
    t.SanrenKumiStr = SortedKeys(t.SanrenCreated, order);
    t.SanrenKumiList.reserve(order.size());
    t.SanrenKumiList.emplace_back();
    for (int k = 1; k <= t.SanrenKumiCount; ++k) {
        auto [a, b, c] = horses[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
        OrderAbc(a, b, c, [&](int horse) { return At(yosoValue, horse); });
        t.SanrenKumiList.push_back(KeyOf({a, b, c}));
    }
    return t;
}

std::string OrderSantanKumi(std::string_view trio, const std::vector<float>& yosoValue) {
    std::string_view a = trio.substr(0, 2), b = trio.substr(2, 2), c = trio.substr(4, 2);
    OrderAbc(a, b, c, [&](std::string_view horse) { return At(yosoValue, static_cast<int>(common::Val(horse))); });
    std::string key(a);
    key += b;
    key += c;
    return key;
}

}  // namespace workbench

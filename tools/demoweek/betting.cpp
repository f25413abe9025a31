#include "betting.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "race_simulation.h"

namespace demoweek {

namespace {

constexpr int kN = 19;

// Popularity: 1 for the shortest odds, ties by combination order; cells without odds get 0.
void Rank(const std::vector<int>& odds, std::vector<int>& ninki) {
    ninki.assign(odds.size(), 0);
    std::vector<int> idx;
    for (int i = 0; i < static_cast<int>(odds.size()); ++i)
        if (odds[static_cast<std::size_t>(i)] > 0) idx.push_back(i);
    std::stable_sort(idx.begin(), idx.end(),
                     [&](int a, int b) { return odds[static_cast<std::size_t>(a)] < odds[static_cast<std::size_t>(b)]; });
    for (std::size_t r = 0; r < idx.size(); ++r) ninki[static_cast<std::size_t>(idx[r])] = static_cast<int>(r) + 1;
}

template <std::size_t M>
void RankArray(const std::array<int, M>& odds, std::array<int, M>& ninki) {
    std::vector<int> o(odds.begin(), odds.end()), n;
    Rank(o, n);
    std::copy(n.begin(), n.end(), ninki.begin());
}

}  // namespace

std::vector<double> FinalChances(const Race& race) {
    std::vector<double> p(kN, 0.0);
    for (const Slot& s : race.slots) p[static_cast<std::size_t>(s.umaban)] = s.prob;
    return p;
}

std::vector<double> EarlyChances(const Race& race, Rng& rng) {
    std::vector<double> p(kN, 0.0);
    double total = 0;
    for (const Slot& s : race.slots) total += (p[static_cast<std::size_t>(s.umaban)] = s.prob * std::exp(rng.Normal() * 0.25));
    for (double& v : p) v /= total;
    return p;
}

OddsBook MakeOddsBook(const Race& race, const std::vector<double>& p) {
    OddsBook b;
    const int n = static_cast<int>(race.slots.size());
    b.runners = n;
    b.bracketSold = n >= 9;
    b.quinella.assign(kN * kN, 0);
    b.wide.assign(kN * kN, 0);
    b.exacta.assign(kN * kN, 0);
    b.trio.assign(kN * kN * kN, 0);
    b.trifecta.assign(kN * kN * kN, 0);
    std::vector<double> ex(kN * kN, 0.0), tri(kN * kN * kN, 0.0), top3(kN, 0.0), bothTop3(kN * kN, 0.0);
    for (int a = 1; a <= n; ++a)
        for (int c = 1; c <= n; ++c) {
            if (a == c) continue;
            const double pa = p[static_cast<std::size_t>(a)], pc = p[static_cast<std::size_t>(c)];
            ex[static_cast<std::size_t>(a * kN + c)] = pa * pc / std::max(1e-9, 1 - pa);
        }
    for (int a = 1; a <= n; ++a)
        for (int c = 1; c <= n; ++c)
            for (int e = 1; e <= n; ++e) {
                if (a == c || a == e || c == e) continue;
                const double rest = 1 - p[static_cast<std::size_t>(a)] - p[static_cast<std::size_t>(c)];
                const double pr = ex[static_cast<std::size_t>(a * kN + c)] * p[static_cast<std::size_t>(e)] / std::max(1e-9, rest);
                tri[static_cast<std::size_t>((a * kN + c) * kN + e)] = pr;
                top3[static_cast<std::size_t>(a)] += pr;
                top3[static_cast<std::size_t>(c)] += pr;
                top3[static_cast<std::size_t>(e)] += pr;
                bothTop3[static_cast<std::size_t>(std::min(a, c) * kN + std::max(a, c))] += pr;
                bothTop3[static_cast<std::size_t>(std::min(a, e) * kN + std::max(a, e))] += pr;
                bothTop3[static_cast<std::size_t>(std::min(c, e) * kN + std::max(c, e))] += pr;
            }
    for (int a = 1; a <= n; ++a) {
        const std::size_t i = static_cast<std::size_t>(a);
        b.win[i] = OddsOf(p[i], 0.8, 9999);
        const double q = n >= 8 ? top3[i] : 0;
        b.placeLow[i] = OddsOf(std::min(0.999, q * 1.25), 0.8, 9999);
        b.placeHigh[i] = std::max(b.placeLow[i], OddsOf(q * 0.8, 0.8, 9999));
    }
    RankArray(b.win, b.winNinki);
    RankArray(b.placeLow, b.placeNinki);
    for (int a = 1; a <= n; ++a)
        for (int c = a + 1; c <= n; ++c) {
            const std::size_t k = static_cast<std::size_t>(a * kN + c);
            b.quinella[k] = OddsOf(ex[k] + ex[static_cast<std::size_t>(c * kN + a)], 0.775, 999999);
            // Three pairs share the wide pool, each paying when both horses are in the first three.
            b.wide[k] = OddsOf(bothTop3[k], 0.775, 999999);
        }
    for (int a = 1; a <= n; ++a)
        for (int c = 1; c <= n; ++c)
            if (a != c) b.exacta[static_cast<std::size_t>(a * kN + c)] = OddsOf(ex[static_cast<std::size_t>(a * kN + c)], 0.75, 999999);
    for (int a = 1; a <= n; ++a)
        for (int c = 1; c <= n; ++c)
            for (int e = 1; e <= n; ++e) {
                if (a == c || a == e || c == e) continue;
                const std::size_t k = static_cast<std::size_t>((a * kN + c) * kN + e);
                b.trifecta[k] = OddsOf(tri[k], 0.725, 9999999);
                if (a < c && c < e) {
                    double sum = 0;
                    const int v[3] = {a, c, e};
                    const int perm[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
                    for (const auto& pm : perm)
                        sum += tri[static_cast<std::size_t>((v[pm[0]] * kN + v[pm[1]]) * kN + v[pm[2]])];
                    b.trio[k] = OddsOf(sum, 0.75, 999999);
                }
            }
    // Bracket quinella: the pairs of horses whose brackets make the combination.
    if (b.bracketSold) {
        std::array<std::array<double, 9>, 9> chance{};
        for (int a = 1; a <= n; ++a)
            for (int c = a + 1; c <= n; ++c) {
                int wa = BracketOf(a, n), wc = BracketOf(c, n);
                if (wa > wc) std::swap(wa, wc);
                chance[static_cast<std::size_t>(wa)][static_cast<std::size_t>(wc)] +=
                    ex[static_cast<std::size_t>(a * kN + c)] + ex[static_cast<std::size_t>(c * kN + a)];
            }
        for (int x = 1; x <= 8; ++x)
            for (int y = x; y <= 8; ++y)
                if (chance[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] > 0)
                    b.bracket[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] =
                        OddsOf(chance[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], 0.775, 99999);
        std::vector<int> flat, ranks;
        for (int x = 1; x <= 8; ++x)
            for (int y = x; y <= 8; ++y) flat.push_back(b.bracket[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)]);
        Rank(flat, ranks);
        std::size_t k = 0;
        for (int x = 1; x <= 8; ++x)
            for (int y = x; y <= 8; ++y) b.bracketNinki[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] = ranks[k++];
    }
    Rank(b.quinella, b.quinellaNinki);
    Rank(b.wide, b.wideNinki);
    Rank(b.exacta, b.exactaNinki);
    Rank(b.trio, b.trioNinki);
    Rank(b.trifecta, b.trifectaNinki);
    b.votes = 300000LL + 150000LL * race.klass + 4000LL * static_cast<long long>(race.layout.distance % 977) + n * 9000LL;
    return b;
}

RacePayouts PayoutsOf(const Race& race, const OddsBook& b) {
    RacePayouts out;
    std::vector<const Slot*> placed;
    for (const Slot& s : race.slots)
        if (s.finish > 0) placed.push_back(&s);
    std::sort(placed.begin(), placed.end(), [](const Slot* x, const Slot* y) {
        return x->finish != y->finish ? x->finish < y->finish : x->order < y->order;
    });
    if (placed.size() < 3) return out;
    const int n = b.runners;
    auto pay = [&](int odds10, int parts) { return std::max(100LL, odds10 * 10LL / parts / 10 * 10); };
    auto pairKey = [](int a, int c) { return static_cast<std::size_t>(std::min(a, c) * kN + std::max(a, c)); };
    auto exKey = [](int a, int c) { return static_cast<std::size_t>(a * kN + c); };
    auto triKey = [](int a, int c, int e) { return static_cast<std::size_t>((a * kN + c) * kN + e); };
    auto trioKey = [](int a, int c, int e) {
        int s[3] = {a, c, e};
        std::sort(s, s + 3);
        return std::array<int, 3>{s[0], s[1], s[2]};
    };

    // The finishing order as the data service pays it: every order that a dead heat makes a
    // winner (two horses sharing first, second or third give two orders of their places).
    std::vector<std::vector<const Slot*>> orders{{placed[0], placed[1], placed[2]}};
    if (placed[1]->finish == placed[0]->finish) orders.push_back({placed[1], placed[0], placed[2]});
    else if (placed[2]->finish == placed[1]->finish) orders.push_back({placed[0], placed[2], placed[1]});
    else if (placed.size() > 3 && placed[3]->finish == placed[2]->finish) orders.push_back({placed[0], placed[1], placed[3]});
    const int share = static_cast<int>(orders.size());

    // Each kind lists a combination once, in the order the orders give it.
    auto once = [](std::vector<Payout>& to, Payout p) {
        for (const Payout& q : to)
            if (q.numbers == p.numbers) return;
        to.push_back(std::move(p));
    };
    auto countOf = [&](auto key) {
        std::vector<decltype(key(orders[0]))> seen;
        for (const auto& o : orders)
            if (std::find(seen.begin(), seen.end(), key(o)) == seen.end()) seen.push_back(key(o));
        return static_cast<int>(seen.size());
    };

    const int winners = countOf([](const auto& o) { return o[0]->umaban; });
    for (const auto& o : orders) {
        const int h = o[0]->umaban;
        once(out.win, {{h}, pay(b.win[static_cast<std::size_t>(h)], winners), b.winNinki[static_cast<std::size_t>(h)]});
    }
    // Place: every horse whose finish lies within the places paid (a dead heat on the last of them
    // pays one more horse).
    const int placesPaid = n >= 8 ? 3 : 2;
    for (const Slot* s : placed) {
        if (s->finish > placesPaid) break;
        const int h = s->umaban;
        const int mid = (b.placeLow[static_cast<std::size_t>(h)] + b.placeHigh[static_cast<std::size_t>(h)]) / 2;
        out.place.push_back({{h}, pay(mid, 1), b.placeNinki[static_cast<std::size_t>(h)]});
    }
    if (b.bracketSold) {
        const int parts = countOf([](const auto& o) { return std::minmax(o[0]->waku, o[1]->waku); });
        for (const auto& o : orders) {
            const auto [x, y] = std::minmax(o[0]->waku, o[1]->waku);
            once(out.bracket, {{x, y}, pay(b.bracket[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], parts),
                               b.bracketNinki[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)]});
        }
    }
    const int quinellas = countOf([](const auto& o) { return std::minmax(o[0]->umaban, o[1]->umaban); });
    const int exactas = countOf([](const auto& o) { return std::pair(o[0]->umaban, o[1]->umaban); });
    const int trios = countOf([&](const auto& o) { return trioKey(o[0]->umaban, o[1]->umaban, o[2]->umaban); });
    for (const auto& o : orders) {
        const int A = o[0]->umaban, B = o[1]->umaban, C = o[2]->umaban;
        once(out.quinella, {{std::min(A, B), std::max(A, B)}, pay(b.quinella[pairKey(A, B)], quinellas), b.quinellaNinki[pairKey(A, B)]});
        for (auto [x, y] : {std::pair{A, B}, std::pair{A, C}, std::pair{B, C}})
            once(out.wide, {{std::min(x, y), std::max(x, y)}, pay(b.wide[pairKey(x, y)], 1), b.wideNinki[pairKey(x, y)]});
        once(out.exacta, {{A, B}, pay(b.exacta[exKey(A, B)], exactas), b.exactaNinki[exKey(A, B)]});
        const auto t = trioKey(A, B, C);
        const std::size_t tk = static_cast<std::size_t>((t[0] * kN + t[1]) * kN + t[2]);
        once(out.trio, {{t[0], t[1], t[2]}, pay(b.trio[tk], trios), b.trioNinki[tk]});
        once(out.trifecta, {{A, B, C}, pay(b.trifecta[triKey(A, B, C)], share), b.trifectaNinki[triKey(A, B, C)]});
    }
    return out;
}

}  // namespace demoweek

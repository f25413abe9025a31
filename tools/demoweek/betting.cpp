#include "betting.h"

#include <algorithm>
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
    const int A = placed[0]->umaban, B = placed[1]->umaban, C = placed[2]->umaban;
    const bool tie = placed[1]->finish == 1;
    const int share = tie ? 2 : 1;
    auto pay = [&](int odds10, int parts) { return std::max(100LL, odds10 * 10LL / parts / 10 * 10); };

    for (int i = 0; i < (tie ? 2 : 1); ++i) {
        const int h = placed[static_cast<std::size_t>(i)]->umaban;
        out.win.push_back({{h}, pay(b.win[static_cast<std::size_t>(h)], share), b.winNinki[static_cast<std::size_t>(h)]});
    }
    const int placesPaid = n >= 8 ? 3 : 2;
    for (int i = 0; i < placesPaid; ++i) {
        const int h = placed[static_cast<std::size_t>(i)]->umaban;
        const int mid = (b.placeLow[static_cast<std::size_t>(h)] + b.placeHigh[static_cast<std::size_t>(h)]) / 2;
        out.place.push_back({{h}, pay(mid, 1), b.placeNinki[static_cast<std::size_t>(h)]});
    }
    if (b.bracketSold) {
        int x = placed[0]->waku, y = placed[1]->waku;
        if (x > y) std::swap(x, y);
        out.bracket.push_back({{x, y}, pay(b.bracket[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], 1),
                               b.bracketNinki[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)]});
    }
    auto pairKey = [](int a, int c) { return static_cast<std::size_t>(std::min(a, c) * kN + std::max(a, c)); };
    out.quinella.push_back({{std::min(A, B), std::max(A, B)}, pay(b.quinella[pairKey(A, B)], 1), b.quinellaNinki[pairKey(A, B)]});
    for (auto [x, y] : {std::pair{A, B}, std::pair{A, C}, std::pair{B, C}})
        out.wide.push_back({{std::min(x, y), std::max(x, y)}, pay(b.wide[pairKey(x, y)], 1), b.wideNinki[pairKey(x, y)]});
    auto exKey = [](int a, int c) { return static_cast<std::size_t>(a * kN + c); };
    out.exacta.push_back({{A, B}, pay(b.exacta[exKey(A, B)], share), b.exactaNinki[exKey(A, B)]});
    if (tie) out.exacta.push_back({{B, A}, pay(b.exacta[exKey(B, A)], share), b.exactaNinki[exKey(B, A)]});
    int s[3] = {A, B, C};
    std::sort(s, s + 3);
    const std::size_t trioKey = static_cast<std::size_t>((s[0] * kN + s[1]) * kN + s[2]);
    out.trio.push_back({{s[0], s[1], s[2]}, pay(b.trio[trioKey], 1), b.trioNinki[trioKey]});
    auto triKey = [](int a, int c, int e) { return static_cast<std::size_t>((a * kN + c) * kN + e); };
    out.trifecta.push_back({{A, B, C}, pay(b.trifecta[triKey(A, B, C)], share), b.trifectaNinki[triKey(A, B, C)]});
    if (tie) out.trifecta.push_back({{B, A, C}, pay(b.trifecta[triKey(B, A, C)], share), b.trifectaNinki[triKey(B, A, C)]});
    return out;
}

}  // namespace demoweek

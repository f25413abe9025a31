#pragma once

#include <set>
#include <string>

#include "rng.h"

// Made-up names: horses, people, owners, breeders, racing colours and race titles. All texts are
// UTF-8; the record writers encode them to CP932.
namespace demoweek {

struct HorseName {
    std::string name;  // full-width katakana, 2 to 9 characters
    std::string kana;  // the same in half-width katakana
    std::string eng;   // Latin letters
};

struct PersonName {
    std::string name;       // family and given name, a full-width blank between
    std::string kana;       // full-width katakana reading, a blank between
    std::string eng;        // "Given Family"
    std::string shortName;  // four characters at most: family name and the first of the given
};

/// A horse name not yet in `used` (which it joins).
HorseName NewHorseName(Rng& rng, std::set<std::string>& used);
PersonName NewPersonName(Rng& rng, bool female);
/// Owner: a person or a company.
std::string NewOwnerName(Rng& rng);
std::string NewColours(Rng& rng);
std::string NewBreederName(Rng& rng);
std::string NewBirthPlace(Rng& rng);

struct RaceTitle {
    std::string hondai;  // race name
    std::string eng;
};

/// The title of a named race. `kind`: 0 a named race of a class, 1 open, 2 listed, 3 graded.
RaceTitle NewRaceTitle(Rng& rng, int kind, const std::string& courseName, const std::string& courseLatin);

/// The first n characters of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t n);

}  // namespace demoweek

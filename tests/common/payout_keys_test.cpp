#include "common/payout_keys.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

using Formatter = std::optional<std::string> (*)(std::string_view);

struct Case {
    const char* name;
    Formatter format;
    std::string field;
    std::optional<std::string> text;  // nothing: a conversion failure
};

const std::string kArrow = "\x81\xA8";  // "→" in CP932

TEST(PayoutKeys, EveryFormatterOnItsExamplesAndEdges) {
    const std::optional<std::string> failure;
    const Case cases[] = {
        // The examples.
        {"FmtKumi3", common::FmtKumi3, "010203", " 1- 2- 3"},
        {"FmtKumi3", common::FmtKumi3, "101112", "10-11-12"},
        {"FmtKumi3Jun", common::FmtKumi3Jun, "010203", " 1" + kArrow + " 2" + kArrow + " 3"},
        {"FmtKumi2", common::FmtKumi2, "0112", " 1-12"},
        {"FmtKumi2Jun", common::FmtKumi2Jun, "1201", "12" + kArrow + " 1"},  // never sorted
        {"FmtUmaban", common::FmtUmaban, "07", " 7"},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "000012340", "12340"},
        {"FmtWakuKumi", common::FmtWakuKumi, "36", "3-6"},
        // Zero keys and a zero payout are not blank.
        {"FmtKumi3", common::FmtKumi3, "000000", " 0- 0- 0"},
        {"FmtKumi2", common::FmtKumi2, "0000", " 0- 0"},
        {"FmtUmaban", common::FmtUmaban, "00", " 0"},
        {"FmtWakuKumi", common::FmtWakuKumi, "00", "0-0"},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "000000000", "0"},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "999999999", "999999999"},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "      150", "150"},
        {"FmtWakuKumi", common::FmtWakuKumi, "08", "0-8"},
        {"FmtKumi2", common::FmtKumi2, "1018", "10-18"},
        {"FmtUmaban", common::FmtUmaban, " 7", " 7"},
        {"FmtKumi2", common::FmtKumi2, " 7 8", " 7- 8"},
        {"FmtKumi3Jun", common::FmtKumi3Jun, "18 1 2", "18" + kArrow + " 1" + kArrow + " 2"},
        // The exact blank form of the formatter's own width is an empty entry.
        {"FmtKumi3", common::FmtKumi3, "      ", ""},
        {"FmtKumi3Jun", common::FmtKumi3Jun, "      ", ""},
        {"FmtKumi2", common::FmtKumi2, "    ", ""},
        {"FmtKumi2Jun", common::FmtKumi2Jun, "    ", ""},
        {"FmtUmaban", common::FmtUmaban, "  ", ""},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "         ", ""},
        {"FmtWakuKumi", common::FmtWakuKumi, "  ", ""},
        // A blank form of another width fails.
        {"FmtKumi3", common::FmtKumi3, "    ", failure},
        {"FmtUmaban", common::FmtUmaban, "         ", failure},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "  ", failure},
        {"FmtKumi2", common::FmtKumi2, "      ", failure},
        // A partly blank key, an empty text, a short key.
        {"FmtKumi3", common::FmtKumi3, "0102  ", failure},
        {"FmtKumi2Jun", common::FmtKumi2Jun, "01  ", failure},
        {"FmtKumi3", common::FmtKumi3, "", failure},
        {"FmtKumi3Jun", common::FmtKumi3Jun, "", failure},
        {"FmtKumi2", common::FmtKumi2, "", failure},
        {"FmtKumi2Jun", common::FmtKumi2Jun, "", failure},
        {"FmtUmaban", common::FmtUmaban, "", failure},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "", failure},
        {"FmtWakuKumi", common::FmtWakuKumi, "", failure},
        {"FmtKumi2", common::FmtKumi2, "012", " 1- 2"},  // a short last piece is still digits
        {"FmtWakuKumi", common::FmtWakuKumi, "3", failure},
        // Signs and other characters.
        {"FmtUmaban", common::FmtUmaban, "+7", failure},
        {"FmtUmaban", common::FmtUmaban, "-1", failure},
        {"FmtKumi2", common::FmtKumi2, "01-2", failure},
        {"FmtKumi3", common::FmtKumi3, "01020A", failure},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "00001 340", failure},  // blanks inside
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "0000123.0", failure},
        {"FmtWakuKumi", common::FmtWakuKumi, "3-", failure},
        {"FmtUmaban", common::FmtUmaban, "\x82\x4F", failure},  // a full-width digit
        {"FmtKumi2", common::FmtKumi2, "\t1 2", failure},
        // Beyond the integer each piece is read into.
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "2147483648", failure},
        {"FmtHaraimodoshi", common::FmtHaraimodoshi, "2147483647", "2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of \"" + c.field + "\"");
        const std::string field = c.field;
        EXPECT_EQ(c.format(field), c.text);
        EXPECT_EQ(field, c.field);
    }
}

}  // namespace

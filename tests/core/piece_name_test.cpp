#include "morvantide/piece_name.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string_view>

namespace morvantide {
namespace {

struct NameCase {
    int slot;
    int x, y;
    std::string_view name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << "slot " << c.slot << " at (" << c.x << ", " << c.y << ")";
}

class PieceNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PieceNameTest, NamesColourKindAndSquare) {
    const NameCase& c = GetParam();
    EXPECT_EQ(PieceAccessibleName(Slot(c.slot),
                                  {static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.y)}),
              c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, PieceNameTest,
    ::testing::Values(
        // Each kind once per colour, the adjective agreeing with the noun.
        NameCase{1, 52, 52, "Черная ладья, a8"}, NameCase{7, 252, 252, "Черный конь, f3"},
        NameCase{3, 132, 52, "Черный слон, c8"}, NameCase{4, 172, 52, "Черный ферзь, d8"},
        NameCase{5, 212, 52, "Черный король, e8"}, NameCase{16, 332, 92, "Черная пешка, h7"},
        NameCase{32, 332, 332, "Белая ладья, h1"}, NameCase{26, 92, 332, "Белый конь, b1"},
        NameCase{30, 92, 172, "Белый слон, b5"}, NameCase{28, 172, 332, "Белый ферзь, d1"},
        NameCase{29, 292, 332, "Белый король, g1"}, NameCase{21, 212, 212, "Белая пешка, e4"},
        NameCase{17, 52, 292, "Белая пешка, a2"},
        // Taken, or anywhere beyond the squares (pixels 32 to 351).
        NameCase{28, 0, 0, "Белый ферзь, вне доски"},
        NameCase{9, 31, 92, "Черная пешка, вне доски"},
        NameCase{9, 92, 352, "Черная пешка, вне доски"},
        NameCase{2, 405, 52, "Черный конь, вне доски"},
        NameCase{24, -20, -20, "Белая пешка, вне доски"},
        // Between squares: the square a drop there lands on.
        NameCase{9, 32, 351, "Черная пешка, a1"}, NameCase{25, 50, 50, "Белая ладья, a8"},
        NameCase{25, 72, 73, "Белая ладья, a7"}, NameCase{25, 351, 32, "Белая ладья, h8"}));

} // namespace
} // namespace morvantide

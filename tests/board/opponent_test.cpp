// The computer opponent's choices, and the fast search agreeing with the reference search.
#include "board/opponent.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "board/game_random.h"
#include "board/rules.h"
#include "test_support/board_positions.h"

namespace vexlorn {
namespace {

TEST(OpponentEquivalence, FastSearchMatchesReferenceOnRandomPositions) {
    PositionMaker maker(20261207);
    const int positions = 2000;
    for (int i = 0; i < positions; ++i) {
        const Board board = maker.make();
        const int lastDir = maker.pick(0, 3);
        const unsigned seed = static_cast<unsigned>(i);
        std::srand(seed);
        const int reference = chooseAiDirectionReference(board, lastDir);
        const int afterReference = std::rand();
        std::srand(seed);
        const int fast = chooseAiDirection(board, lastDir);
        const int afterFast = std::rand();
        ASSERT_EQ(reference, fast) << "position " << i;
        ASSERT_EQ(afterReference, afterFast) << "position " << i;
    }
}

}  // namespace
}  // namespace vexlorn

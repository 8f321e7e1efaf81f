// SPDX-License-Identifier: MIT
// The score line drawn frame after frame allocates nothing at any scale once its first
// frame there is drawn, counted by the benchmarks' counting operator new.
#include <gtest/gtest.h>

#include "bench/allocations.h"
#include "render/painters.h"
#include "render/text_painters.h"

namespace render {
namespace {

TEST(TextAllocations, TheScoreDrawnAgainAllocatesNothingAtAnyScale) {
    ASSERT_TRUE(MakeTextFonts());
    for (const Scale scale : {Scale{1, 1}, Scale{5, 4}, Scale{3, 2}, Scale{2, 1}, Scale{3, 1}}) {
        const OwnedBitmap frame(NewBitmap(1000, 80, scale));
        ResetSurfaceToSilver(frame, 0);
        PaintScoreOn(frame, 0);  // the scale's first frame makes the fonts' sizes
        const int64_t before = bench::HeapAllocationsSoFar();
        for (int16_t count = -1; count <= 100; ++count) {  // every digit and the minus sign
            PaintScoreOn(frame, count);
        }
        EXPECT_EQ(bench::HeapAllocationsSoFar() - before, 0) << scale.Num << "/" << scale.Den;
    }
}

}  // namespace
}  // namespace render

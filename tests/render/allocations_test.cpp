// SPDX-License-Identifier: MIT
// The painters' texts allocate nothing at any scale once their fonts are made for it,
// counted by the benchmarks' counting operator new.
#include <gtest/gtest.h>

#include "bench/allocations.h"
#include "render/painters.h"
#include "render/text_painters.h"

namespace render {
namespace {

TEST(TextAllocations, TheScoreAndTheEndScreensAllocateNothingAtAnyScale) {
    for (const Scale scale : {Scale{1, 1}, Scale{5, 4}, Scale{3, 2}, Scale{2, 1}, Scale{3, 1}}) {
        ASSERT_TRUE(MakeTextFonts(scale));
        const OwnedBitmap frame(NewBitmap(1000, 576, scale));
        ResetSurfaceToSilver(frame, 0);
        const int64_t before = bench::HeapAllocationsSoFar();
        for (int16_t count = -1; count <= 100; ++count) {  // every digit and the minus sign
            PaintScoreOn(frame, count);
        }
        PaintGameOver(frame);
        PaintWin(frame);
        EXPECT_EQ(bench::HeapAllocationsSoFar() - before, 0) << scale.Num << "/" << scale.Den;
    }
}

}  // namespace
}  // namespace render

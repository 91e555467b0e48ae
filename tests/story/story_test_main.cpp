#include <gtest/gtest.h>

#include "story_check/text_fit.h"

// The checker measures texts with the game's font, which needs a Qt GUI application for the
// whole run; it is made offscreen, so the tests need no display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const tovik::tools::OffscreenGui gui;
    return RUN_ALL_TESTS();
}

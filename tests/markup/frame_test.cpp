// The list item frame on a real owner-drawn list box.
#include <gtest/gtest.h>

#include "support/item_render.h"

namespace {

TEST(Frame, PlainTextIsOneCentredLine)
{
    items::Rendered r = items::render("Client");
    const int left = items::ink_left(r, 0, 400, 0, 20, 0xFFFFFF);
    EXPECT_GE(left, 0);
    EXPECT_LE(left, 2);
}

} // namespace

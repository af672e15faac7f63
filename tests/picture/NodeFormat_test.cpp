#include "picture/NodeFormats.h"
#include <gtest/gtest.h>
TEST(NodeFormat, Smoke) { vt::TFormatClasses c; EXPECT_EQ(c.Formats()->ChildCount(), 3); }

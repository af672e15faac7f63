// The one check of an error: the statement raises the exception class and its
// whole message is exactly the expected text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#define EXPECT_THROW_MSG(statement, exception, message)       \
  do {                                                        \
    try {                                                     \
      statement;                                              \
      ADD_FAILURE() << "no " #exception " from " #statement;  \
    } catch (const exception& e) {                            \
      EXPECT_EQ(std::string(e.what()), std::string(message)); \
    }                                                         \
  } while (0)

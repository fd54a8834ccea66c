// Checks that a statement raises a ComError with a given runtime number.
#pragma once

#include <gtest/gtest.h>

#include "runtime/com_error.h"

#define EXPECT_RAISES(statement, expected_number)                                    \
  do {                                                                               \
    try {                                                                            \
      statement;                                                                     \
      ADD_FAILURE() << #statement " raised nothing, expected " << (expected_number); \
    } catch (const ::norv::ComError& error) {                                        \
      EXPECT_EQ(error.number(), (expected_number)) << error.what();                  \
    }                                                                                \
  } while (false)

// FileNumbers: the process-wide pool of numbers for sequential files, 1..255,
// shared by every CFile. Take hands out the lowest free number and keeps it
// taken until Release, whether or not a file is ever opened under it.
#pragma once

#include <cstdint>

namespace norv {

class FileNumbers {
 public:
  static constexpr int16_t kFirst = 1;
  static constexpr int16_t kLast = 255;

  // The lowest free number, now taken; raises 67 when all are taken.
  static int16_t Take();
  // Gives a number back; a number that is not taken is ignored.
  static void Release(int16_t number);
  // How many numbers are taken now.
  static int InUse();
};

}  // namespace norv

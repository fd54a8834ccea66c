#include "files/file_numbers.h"

#include <bitset>
#include <mutex>

#include "runtime/com_error.h"

namespace norv {
namespace {

struct Pool {
  std::mutex mutex;
  std::bitset<FileNumbers::kLast + 1> taken;  // bit 0 unused
};

Pool& ThePool() {
  static Pool* const pool = new Pool;  // never destroyed: files may close at exit
  return *pool;
}

}  // namespace

int16_t FileNumbers::Take() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  for (int16_t number = kFirst; number <= kLast; ++number) {
    if (!pool.taken[number]) {
      pool.taken[number] = true;
      return number;
    }
  }
  RaiseRuntime(kErrTooManyFiles);
}

void FileNumbers::Release(int16_t number) {
  if (number < kFirst || number > kLast) return;
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  pool.taken[number] = false;
}

int FileNumbers::InUse() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  return static_cast<int>(pool.taken.count());
}

}  // namespace norv

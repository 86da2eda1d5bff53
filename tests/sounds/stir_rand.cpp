// Linked into a second build of the generator: something in the process seeds and draws from the
// C library's rand() before main, as a library starting up may.
#include <cstdlib>
#include <ctime>

namespace {
[[maybe_unused]] const int stirred = [] {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int sum = 0;
  for (int i = 0; i < 1000; ++i) sum += std::rand() & 1;
  return sum;
}();
}  // namespace

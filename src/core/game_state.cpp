#include "core/game_state.h"

#include <array>

namespace rd {

FieldRef findField(GameRecord& r, std::string_view name) {
#define RD_FIND(T, name_) \
  if (name == #name_) return {FieldRef::Type::T, &r.name_};
#define RD_FIND_B(n) RD_FIND(boolean, n)
#define RD_FIND_L(n) RD_FIND(long_, n)
#define RD_FIND_S(n) RD_FIND(single, n)
#define RD_FIND_O(n) RD_FIND(object, n)
  RD_GAME_RECORD(RD_FIND_B, RD_FIND_L, RD_FIND_S, RD_FIND_O)
  return {};
}

const std::string_view* fieldNames(size_t* count) {
#define RD_NAME(n) std::string_view(#n),
  static const auto names =
      std::to_array<std::string_view>({RD_GAME_RECORD(RD_NAME, RD_NAME, RD_NAME, RD_NAME)});
  *count = names.size();
  return names.data();
}

}  // namespace rd

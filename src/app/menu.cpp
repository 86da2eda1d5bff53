#include "app/menu.h"

#include <cctype>

namespace rd::app {

Menu::Menu(std::string title, std::vector<MenuItem> items)
    : title_(std::move(title)), items_(std::move(items)) {}

std::string Menu::said(int i) const {
  const MenuItem& it = item(i);
  if (!it.value) return it.name;
  return it.name + ", " + it.value();
}

std::string Menu::where() const {
  if (items_.empty()) return title_ + ", empty";
  return said(current_) + ", " + std::to_string(current_ + 1) + " of " + std::to_string(size());
}

MenuAnswer Menu::opening() const { return {title_ + ". " + where(), MenuSound::none}; }

MenuAnswer Menu::moveTo(int index) {
  // At the edge the item is said again, so the player hears where they still are.
  if (index == current_) return {where(), MenuSound::edge};
  current_ = index;
  return {where(), MenuSound::move};
}

MenuAnswer Menu::key(MenuKey key, char letter) {
  if (key == MenuKey::escape) return {{}, MenuSound::none, MenuAnswer::Act::back};
  if (items_.empty()) return {where(), MenuSound::edge};
  const MenuItem& it = item(current_);
  switch (key) {
    case MenuKey::up:
      return moveTo(current_ > 0 ? current_ - 1 : 0);
    case MenuKey::down:
      return moveTo(current_ + 1 < size() ? current_ + 1 : current_);
    case MenuKey::home:
      return moveTo(0);
    case MenuKey::end:
      return moveTo(size() - 1);
    case MenuKey::letter: {
      // The next item after this one that starts with the letter, round from the top.
      const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
      for (int step = 1; step <= size(); ++step) {
        const int i = (current_ + step) % size();
        const std::string& name = item(i).name;
        if (!name.empty() && std::toupper(static_cast<unsigned char>(name[0])) == wanted)
          return moveTo(i);
      }
      return {{}, MenuSound::edge};
    }
    case MenuKey::left:
      if (!it.change) return {};
      it.change(-1);
      return {said(current_), MenuSound::move};
    case MenuKey::right:
    case MenuKey::enter:
      if (it.change) {
        it.change(+1);
        return {said(current_), MenuSound::move};
      }
      return {{}, MenuSound::open, MenuAnswer::Act::open, current_};
    case MenuKey::escape:
      break;
  }
  return {};
}

}  // namespace rd::app

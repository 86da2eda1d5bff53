// A spoken menu as a model: a list of items, the one the player is on, and what each key does to
// it. It knows nothing of the window or the sound: every answer says what to speak, which menu
// sound to play and whether an item was opened or the player went back, and the shell does it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rd::app {

struct MenuItem {
  MenuItem(std::string n, std::function<std::string()> v = {}, std::function<void(int)> c = {})
      : name(std::move(n)), value(std::move(v)), change(std::move(c)) {}
  std::string name;
  // A setting's value in words ("350 words a minute"), read afresh each time it is spoken; empty
  // for an item that is not a setting.
  std::function<std::string()> value;
  // A setting: Left (-1) and Right (+1) change it. Empty for an item that opens.
  std::function<void(int step)> change;
};

enum class MenuSound { none, move, edge, open };
enum class MenuKey { up, down, home, end, left, right, enter, escape, letter };

struct MenuAnswer {
  enum class Act { stay, open, back };
  std::string speech;  // cuts whatever the menu was saying; empty: say nothing new
  MenuSound sound = MenuSound::none;
  Act act = Act::stay;
  int item = 0;  // the item opened
};

class Menu {
 public:
  Menu(std::string title, std::vector<MenuItem> items);

  // What is said when the menu opens (or is come back to): its title, then the item it is on.
  MenuAnswer opening() const;
  // `letter` is the upper-case letter for MenuKey::letter.
  MenuAnswer key(MenuKey key, char letter = 0);

  int current() const { return current_; }
  int size() const { return static_cast<int>(items_.size()); }
  const MenuItem& item(int i) const { return items_[static_cast<size_t>(i)]; }
  // "Play, 1 of 7"; a setting as "Speech rate, 350 words a minute, 2 of 10".
  std::string where() const;
  // A setting's name and value ("Speech rate, 350 words a minute"), or the item's name.
  std::string said(int i) const;

 private:
  MenuAnswer moveTo(int index);

  std::string title_;
  std::vector<MenuItem> items_;
  int current_ = 0;
};

}  // namespace rd::app

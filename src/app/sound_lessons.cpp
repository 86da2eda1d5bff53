#include "app/sound_lessons.h"

namespace rd::app {

const std::vector<SoundLesson>& soundLessons() {
  // The rotors and the finder at the frequencies the game sets (see the table of recordings).
  static const std::vector<SoundLesson> kLessons = {
      {"Your rotor, the engine idling on the floor", "zelkar.wav", 5000, true},
      {"Your rotor, fast enough to lift you", "zelkar.wav", 10100, true},
      {"The enemy's rotor", "enemy.wav", 56000, true},
      {"The wind of your flight", "wind.wav", 10000, true},
      {"The television", "tv.wav", 0, true},
      {"The ceiling fan", "fan.wav", 0, true},
      {"The dog", "DogBark.wav", 0, true},
      {"Bearing blip: the enemy ahead at your height", "TargetX.wav", 60000},
      {"Bearing blip: the enemy behind you at your height", "TargetX.wav", 51000},
      {"Height tone: the enemy one step above or below you", "TargetY.wav", 74100},
      {"Height tone: the enemy far above or below you", "TargetY.wav", 4100},
      {"Lock-on tone: the enemy dead ahead, fire now", "acquired.wav", 0, true},
      {"The knob clicks as you turn it", "KNOB.wav", 0},
      {"The knob in the centre", "KNOB.wav", 80000},
      {"Your laser", "PlayerLaser.wav"},
      {"The enemy's laser", "EnemyLaser.wav"},
      {"A hit: an explosion", "explode.wav"},
      {"The enemy shot down", "EnemyShotDown.wav"},
      {"You are shot down", "PlayerShotDown.wav"},
      {"A crash", "crash.wav"},
      {"Landing", "land.wav"},
      {"A scrape against a wall or the floor", "scrape.wav"},
      {"The helicopters collide", "collide.wav"},
      {"You smash into something", "PlayerSmash.wav"},
      {"The enemy smashes into something", "EnemySmash.wav"},
      {"Breaking glass and wood", "break.wav"},
      {"The fan's blades hit a helicopter", "fanhit.wav"},
      {"The fan's wall switch", "switch.wav"},
      {"You smash the television", "TVSmash.wav"},
      {"You shoot the television off", "TVOff.wav"},
      {"You bump into the person in the room", "Ouch.wav"},
      {"The enemy laughs: you landed on your own head", "LandedOnYourHead.wav"},
      {"You landed on the head of the person in the room", "LandedOnMyHead.wav"},
      {"The dog bites a helicopter", "crunch.wav"},
      {"The alarm", "EnemyAlarm.wav"},
      {"Menu: a move", "MenuMove.wav"},
      {"Menu: the edge of the list", "MenuEdge.wav"},
      {"Menu: an item opens", "MenuOpen.wav"},
  };
  return kLessons;
}

}  // namespace rd::app

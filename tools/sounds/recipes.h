// The recipes behind the recordings, grouped by where they are heard.
#pragma once

#include "recordings.h"

namespace rd::sounds {

// The two helicopters (rotors.cpp).
Samples playerRotor(Studio&, int rate);
Samples enemyRotor(Studio&, int rate);

// The room's own loops (room.cpp).
Samples wind(Studio&, int rate);
Samples television(Studio&, int rate);
Samples fan(Studio&, int rate);
Samples dogBark(Studio&, int rate);

// Impacts, weapons and clicks (effects.cpp).
Samples alarm(Studio&, int rate);
Samples breakGlassAndWood(Studio&, int rate);
Samples crunch(Studio&, int rate);
Samples fanHit(Studio&, int rate);
Samples wallSwitch(Studio&, int rate);
Samples enemyLaser(Studio&, int rate);
Samples playerLaser(Studio&, int rate);
Samples explode(Studio&, int rate);
Samples crash(Studio&, int rate);
Samples land(Studio&, int rate);
Samples scrape(Studio&, int rate);
Samples knob(Studio&, int rate);

// The target finder (finder.cpp).
Samples heightTone(Studio&, int rate);
Samples bearingBlip(Studio&, int rate);
Samples lockOnTone(Studio&, int rate);

// The named cues (cues.cpp).
Samples collide(Studio&, int rate);
Samples playerSmash(Studio&, int rate);
Samples enemySmash(Studio&, int rate);
Samples enemyShotDown(Studio&, int rate);
Samples playerShotDown(Studio&, int rate);
Samples tvSmash(Studio&, int rate);
Samples ouch(Studio&, int rate);
Samples landedOnYourHead(Studio&, int rate);
Samples landedOnMyHead(Studio&, int rate);
Samples tvOff(Studio&, int rate);

// The menu's sounds (menu.cpp).
Samples menuMove(Studio&, int rate);
Samples menuEdge(Studio&, int rate);
Samples menuOpen(Studio&, int rate);

// Building blocks that the cues share with the bank (effects.cpp).
Samples crashImpact(int rate, Rng& rng, double seconds);
Samples explosion(int rate, Rng& rng, double seconds);
Samples glassShatter(int rate, Rng& rng, double seconds, int shards);
Samples metalClang(int rate, Rng& rng, double baseHz, double ring);
Samples bump(int rate, Rng& rng, double hz);

}  // namespace rd::sounds

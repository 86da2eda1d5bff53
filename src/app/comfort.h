// The comfort layer, around the game on the player's window: the comfort keys, answered before
// the game sees a key (F1 the key list, F2 the last readout again, F3/F4 the speech rate, F5/F6
// the volume, K the knob, Pause or F9), the readouts with their labels, and a word where the game
// changes without one (T, P, a lift-off, a landing). Each speaks through the game's own speech
// service; changed rates and volumes are kept in the settings file. The game itself, its texts
// and its key table are as written: a replay never runs through this layer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/speech.h"
#include "platform/window.h"

namespace rd {
struct GameRecord;
}  // namespace rd

namespace rd::app {

// The entry that is not a key: a mouse signal (its speed readout).
inline constexpr int16_t kMouseEntry = -1;

// The game's speech service, with the readouts in the comfort layer's words: between enter() and
// leave() every sentence the game says is one piece of that entry's readout, labelled (when asked)
// by the key and the piece's place. The last readout is kept whole, for F2.
class NotedSpeech : public SpeechSystem {
 public:
  explicit NotedSpeech(SpeechSystem& inner) : inner_(inner) {}
  // The game's voice.
  std::unique_ptr<SpeechVoice> createVoice() override;
  // The comfort layer's own: each of its sentences is a readout of its own, never labelled.
  std::unique_ptr<SpeechVoice> createOwnVoice();

  void setLabelled(bool labelled) { labelled_ = labelled; }
  bool labelled() const { return labelled_; }
  // The record the labels read the game's state from (Z's "on the floor"); null: none.
  void setRecord(const GameRecord* record) { record_ = record; }

  // Around each of the game's entries, innermost last: `key` is the key-down handled, or
  // kMouseEntry, or 0 for a timer or the start.
  void enter(int16_t key) { entries_.push_back({key, 0}); }
  void leave() { entries_.pop_back(); }
  // Whether one of the game's sentences is being heard.
  bool gameSpeaking() const { return gameSpeaking_ > 0; }

  // The last readout, every piece of it ("heading 306, enemy 288"); empty before the first.
  std::string last() const;

  // Called with every sentence before it is spoken and after it has been heard (a trace for the
  // tests, when set).
  std::function<void(const std::string&)> onSentence;
  std::function<void(const std::string&)> onHeard;
  // Called with a sentence that could not be heard: the sound device had lost its output.
  std::function<void(const std::string&)> onUnheard;

 private:
  friend class NotedVoice;
  // What is said for the game's `text`, noted as a piece of the readout in progress.
  std::string gamePiece(const std::string& text);
  void ownSentence(const std::string& text);

  struct Entry {
    int16_t key;
    int pieces;  // of its readout so far; the first one starts a new readout
  };
  SpeechSystem& inner_;
  bool labelled_ = true;
  const GameRecord* record_ = nullptr;
  std::vector<Entry> entries_;
  int gameSpeaking_ = 0;
  std::vector<std::string> last_;
};

// The `piece`th sentence `text` of key `key`'s readout as the labelled readout says it: a label
// before a number that starts a value ("heading 306"), what the game's state adds to a height
// whose whole number hides it ("height 0, on the floor"), or the text as it is. `record` may be
// null.
std::string labelledPiece(int16_t key, int piece, const std::string& text,
                          const GameRecord* record);

// The knob in words: "Knob 10 right", "Knob 3 left", "Knob centred".
std::string knobText(int32_t knob);

class Comfort {
 public:
  struct Hooks {
    std::function<int()> rate;            // words a minute in force
    std::function<void(int)> setRate;     // words a minute
    std::function<void(int)> setVolume;   // 0..100
    std::function<void(bool)> setPaused;  // the window's timers and the sound's voices
    // Keeps a setting; returns nothing when kept, else why not ("the disk is full").
    std::function<std::optional<std::string>(const std::string& name, const std::string& value)>
        save;
    std::function<void(const std::string&)> report;  // a failure that does not end the game
  };
  Comfort(NotedSpeech& speech, int volume, Hooks hooks);

  // Whether `code` (a virtual-key code) is a comfort key; a key-down is answered here, or, while
  // the game is speaking, once the game's handler has ended.
  bool key(int16_t code, bool down);
  bool paused() const { return paused_; }
  // The sound device lost its output: the round is paused, as by Pause, and stays paused until
  // soundBack(); then Pause plays on.
  void soundLost();
  void soundBack();
  // Says `text`. A sentence of this layer asked for while another of its own is heard cuts that
  // one short and is said in its place.
  void say(const std::string& text);
  // Called by the voice's wait while a sentence is heard: throws to cut this layer's sentence
  // when a newer one is waiting.
  void whileSpeaking();

  // The round the keys speak of; null between rounds.
  void setRecord(const GameRecord* record);
  // After each of the game's entries: `key` is the key-down it handled (0 for none), `outermost`
  // whether no other entry is still running around it. What is to be said is said after the
  // outermost one, so it never comes between the pieces of a readout.
  void afterEntry(int16_t key, bool outermost);

 private:
  struct Cut {};
  void answer(int16_t code);
  void sayCutting(const std::string& text);
  void applyPause();
  void changeRate(double factor);
  void changeVolume(int step);
  // `name = value` kept, and `said` spoken with the reason when it could not be.
  void saveAndSay(const char* name, int value, const std::string& said);
  void watchFlight();

  NotedSpeech& speech_;
  std::unique_ptr<SpeechVoice> voice_;
  int volume_;
  bool paused_ = false;
  bool windowPaused_ = false;
  bool soundLost_ = false;
  Hooks hooks_;
  const GameRecord* record_ = nullptr;
  bool speaking_ = false;
  bool cut_ = false;
  std::string next_;
  std::vector<int16_t> waitingKeys_;
  std::vector<std::string> toSay_;
  // The flight as last seen: flying, and the lift-off told until the next landing or loss.
  bool flying_ = false;
  bool landed_ = false;
  bool liftTold_ = false;
  int32_t losses_ = 0;
};

// The game's entries as the window hands them (to `game`, the game or what runs around it), with
// the comfort layer around each: the speech knows whose readout it hears, and the comfort layer
// has its word after it, from the game's `record`.
class ComfortedGame : public GameEvents {
 public:
  ComfortedGame(GameEvents& game, const GameRecord& record, NotedSpeech& speech, Comfort& comfort);
  ~ComfortedGame() override;
  void start() override;
  void onTimer(TimerId id) override;
  void onKeyDown(int16_t keyCode) override;
  void onKeyUp(int16_t keyCode) override;
  void onMouse() override;

 private:
  template <typename F>
  auto around(int16_t key, F&& entry);

  GameEvents& game_;
  NotedSpeech& speech_;
  Comfort& comfort_;
  int depth_ = 0;
};

// The keys in short spoken form.
extern const char* const kKeyList;

}  // namespace rd::app

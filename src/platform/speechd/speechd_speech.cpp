#include "platform/speechd/speechd_speech.h"

#include <libspeechd.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "base/game_error.h"
#include "platform/limits.h"

namespace rd::speechd {

namespace {

// The service's rate 0 is the usual speed; -100 and 100 are the slowest and fastest the player
// may ask for.
constexpr int kUsualRate = 175;
constexpr int kSlowest = limits::kSlowestSpeechRate;
constexpr int kFastest = limits::kFastestSpeechRate;

// The service's end and cancel reports arrive on its own thread, without a word of whose they are:
// one connection per program, so they go to the one set of finished sentences.
std::mutex g_mutex;
std::condition_variable g_finished;
std::set<size_t> g_done;

void onEnd(size_t id, size_t, SPDNotificationType) {
  {
    std::lock_guard lock(g_mutex);
    g_done.insert(id);
  }
  g_finished.notify_all();
}

}  // namespace

struct Connection {
  SPDConnection* spd = nullptr;
  ~Connection() {
    if (spd) spd_close(spd);
  }
};

int serviceRate(int wpm) {
  wpm = std::clamp(wpm, kSlowest, kFastest);
  double r = wpm <= kUsualRate ? (wpm - kUsualRate) * 100.0 / (kUsualRate - kSlowest)
                               : (wpm - kUsualRate) * 100.0 / (kFastest - kUsualRate);
  return static_cast<int>(std::lround(r));
}

int wordsPerMinute(int rate) {
  rate = std::clamp(rate, -100, 100);
  double wpm = rate <= 0 ? kUsualRate + rate * (kUsualRate - kSlowest) / 100.0
                         : kUsualRate + rate * (kFastest - kUsualRate) / 100.0;
  return static_cast<int>(std::lround(wpm));
}

SpeechdSpeech::SpeechdSpeech(std::chrono::milliseconds patience) {
  // The connection is made on a thread of its own, so that a service slow to answer costs the
  // game no more than `patience`; one that answers later is closed again.
  struct Attempt {
    std::mutex mutex;
    std::condition_variable ready;
    bool finished = false;
    bool abandoned = false;
    std::shared_ptr<Connection> connection;
    std::string failure;
  };
  auto attempt = std::make_shared<Attempt>();
  std::thread([attempt] {
    char* error = nullptr;
    SPDConnection* spd =
        spd_open2("rotorduel", "game", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    auto connection = std::make_shared<Connection>();
    connection->spd = spd;
    std::string failure;
    if (!spd) {
      failure = error ? error : "no answer";
    } else {
      spd->callback_end = onEnd;
      spd->callback_cancel = onEnd;
      if (spd_set_notification_on(spd, SPD_END) != 0 ||
          spd_set_notification_on(spd, SPD_CANCEL) != 0)
        failure = "it does not report the end of a sentence";
    }
    std::free(error);
    std::lock_guard lock(attempt->mutex);
    attempt->finished = true;
    if (failure.empty() && !attempt->abandoned) attempt->connection = std::move(connection);
    attempt->failure = failure;
    attempt->ready.notify_all();
  }).detach();
  std::unique_lock lock(attempt->mutex);
  if (!attempt->ready.wait_for(lock, patience, [&] { return attempt->finished; })) {
    attempt->abandoned = true;
    failure_ = "the desktop speech service (speech-dispatcher) did not answer in time";
    return;
  }
  connection_ = attempt->connection;
  if (!connection_)
    failure_ =
        "the desktop speech service (speech-dispatcher) cannot be reached: " + attempt->failure;
}

SpeechdSpeech::~SpeechdSpeech() = default;

namespace {

class SpeechdVoice : public SpeechVoice {
 public:
  explicit SpeechdVoice(SpeechdSpeech& owner) : owner_(owner) {}
  void speak(const std::string& text) override { owner_.say(text); }

 private:
  SpeechdSpeech& owner_;
};

}  // namespace

std::unique_ptr<SpeechVoice> SpeechdSpeech::createVoice() {
  if (!connection_) throw GameError("speech.create", failure_);
  return std::make_unique<SpeechdVoice>(*this);
}

void SpeechdSpeech::setRate(int wpm) {
  if (connection_ && spd_set_voice_rate(connection_->spd, serviceRate(wpm)) != 0)
    throw GameError("speech.setRate", "the desktop speech service refused the rate");
}

int SpeechdSpeech::rate() const {
  return connection_ ? wordsPerMinute(spd_get_voice_rate(connection_->spd)) : kUsualRate;
}

void SpeechdSpeech::say(const std::string& text) {
  if (!connection_) throw GameError("speech.speak", failure_);
  if (text.empty()) return;
  const int id = spd_say(connection_->spd, SPD_MESSAGE, text.c_str());
  if (id < 0) throw GameError("speech.speak", "the desktop speech service failed");
  // A service that stops reporting (it was ended, its synthesiser hangs) must not hold the game
  // for ever: far longer than the slowest reading of the sentence.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5) +
                     std::chrono::milliseconds(400) * text.size();
  const auto done = static_cast<size_t>(id);
  for (;;) {
    {
      std::unique_lock lock(g_mutex);
      // Between looks the game's own wait runs (a quit cuts the sentence short).
      if (g_finished.wait_for(lock, std::chrono::milliseconds(5),
                              [&] { return g_done.count(done) > 0; })) {
        g_done.erase(done);
        return;
      }
    }
    if (std::chrono::steady_clock::now() >= limit)
      throw GameError("speech.speak", "the desktop speech service never finished the sentence");
    if (!whileWaiting_) continue;
    try {
      whileWaiting_();
    } catch (...) {
      spd_cancel(connection_->spd);
      throw;
    }
  }
}

}  // namespace rd::speechd

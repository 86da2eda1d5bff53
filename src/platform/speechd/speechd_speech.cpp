#include "platform/speechd/speechd_speech.h"

#include <libspeechd.h>
#include <poll.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>

#include "base/game_error.h"
#include "platform/limits.h"

namespace rd::speechd {

namespace {

// The service's rate 0 is the usual speed; -100 and 100 are the slowest and fastest the player
// may ask for.
constexpr int kUsualRate = 175;
constexpr int kSlowest = limits::kSlowestSpeechRate;
constexpr int kFastest = limits::kFastestSpeechRate;

// How long the end lets the service's thread close the connection before leaving it behind.
constexpr std::chrono::milliseconds kClosingPatience{200};

// A sentence's number before the service has taken it, and when it did not take it.
constexpr int kPending = -2;
constexpr int kRefused = -1;

// The service's end and cancel reports arrive on libspeechd's own thread, without a word of whose
// they are: one connection per program, so they go to the one set of finished sentences. The
// numbers of the sentences handed over are kept under the same lock. Never destroyed: a thread
// left waiting on a stalled service may report after main has returned.
struct Reports {
  std::mutex mutex;
  std::condition_variable changed;
  std::set<size_t> done;
};

Reports& reports() {
  static Reports* const r = new Reports;
  return *r;
}

void onEnd(size_t id, size_t, SPDNotificationType) {
  Reports& r = reports();
  {
    std::lock_guard lock(r.mutex);
    r.done.insert(id);
  }
  r.changed.notify_all();
}

}  // namespace

// The service's thread and what it is to do, in order. Only that thread touches `spd`.
struct Service {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> jobs;
  bool closing = false;
  bool finished = false;
  SPDConnection* spd = nullptr;

  void post(std::function<void()> job) {
    {
      std::lock_guard lock(mutex);
      jobs.push_back(std::move(job));
    }
    wake.notify_all();
  }
};

namespace {

void serve(const std::shared_ptr<Service>& s) {
  // A write to a service that has ended fails instead of ending the program. libspeechd's own
  // thread, started from this one, keeps the mask.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(s->mutex);
      s->wake.wait(lock, [&] { return s->closing || !s->jobs.empty(); });
      if (s->jobs.empty()) break;
      job = std::move(s->jobs.front());
      s->jobs.pop_front();
    }
    job();
  }
  if (s->spd) spd_close(s->spd);
  s->spd = nullptr;
  {
    std::lock_guard lock(s->mutex);
    s->finished = true;
  }
  s->wake.notify_all();
}

}  // namespace

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

SpeechdSpeech::SpeechdSpeech(std::chrono::milliseconds patience)
    : service_(std::make_shared<Service>()), rate_(kUsualRate) {
  // The connection is the service thread's first job; one that answers after `patience` is
  // closed again when the voice ends.
  struct Attempt {
    bool finished = false;
    std::string failure;
    int socket = -1;
    int rate = 0;
  };
  auto attempt = std::make_shared<Attempt>();
  const std::shared_ptr<Service> s = service_;
  s->post([s, attempt] {
    char* error = nullptr;
    SPDConnection* spd =
        spd_open2("rotorduel", "game", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    std::string failure;
    int rate = 0;
    if (!spd) {
      failure = error ? error : "no answer";
    } else {
      spd->callback_end = onEnd;
      spd->callback_cancel = onEnd;
      if (spd_set_notification_on(spd, SPD_END) != 0 ||
          spd_set_notification_on(spd, SPD_CANCEL) != 0)
        failure = "it does not report the end of a sentence";
      else
        rate = spd_get_voice_rate(spd);
    }
    std::free(error);
    if (spd && !failure.empty()) {
      spd_close(spd);
      spd = nullptr;
    }
    s->spd = spd;
    {
      std::lock_guard lock(s->mutex);
      attempt->finished = true;
      attempt->failure = failure;
      attempt->socket = spd ? spd->socket : -1;
      attempt->rate = rate;
    }
    s->wake.notify_all();
  });
  thread_ = std::thread([s] { serve(s); });
  std::unique_lock lock(s->mutex);
  if (!s->wake.wait_for(lock, patience, [&] { return attempt->finished; })) {
    failure_ = "the desktop speech service (speech-dispatcher) did not answer in time";
    return;
  }
  if (!attempt->failure.empty()) {
    failure_ =
        "the desktop speech service (speech-dispatcher) cannot be reached: " + attempt->failure;
    return;
  }
  connected_ = true;
  socket_ = attempt->socket;
  rate_ = wordsPerMinute(attempt->rate);
}

SpeechdSpeech::~SpeechdSpeech() {
  const std::shared_ptr<Service> s = service_;
  std::unique_lock lock(s->mutex);
  s->closing = true;
  s->wake.notify_all();
  const bool finished = s->wake.wait_for(lock, kClosingPatience, [&] { return s->finished; });
  lock.unlock();
  // A thread held by a stalled service is left to the end of the process.
  if (finished) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

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
  if (!connected_ || failed_) throw GameError("speech.create", failure_);
  return std::make_unique<SpeechdVoice>(*this);
}

void SpeechdSpeech::setRate(int wpm) {
  // What the service's scale makes of it. A rate the service refuses leaves its own in force.
  const int rate = serviceRate(wpm);
  rate_ = wordsPerMinute(rate);
  if (!connected_ || failed_) return;
  const std::shared_ptr<Service> s = service_;
  s->post([s, rate] { spd_set_voice_rate(s->spd, rate); });
}

void SpeechdSpeech::cancel() {
  const std::shared_ptr<Service> s = service_;
  s->post([s] { spd_cancel(s->spd); });
}

void SpeechdSpeech::fail(const std::string& why) {
  failed_ = true;
  failure_ = why;
  // A sentence it may still say would sound over the voice that takes over.
  cancel();
  throw GameError("speech.speak", why);
}

bool SpeechdSpeech::hungUp() const {
  pollfd look{socket_, POLLRDHUP, 0};
  return ::poll(&look, 1, 0) > 0 && (look.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL));
}

void SpeechdSpeech::say(const std::string& text) {
  if (!connected_ || failed_) throw GameError("speech.speak", failure_);
  if (text.empty()) return;
  auto sentence = std::make_shared<int>(kPending);
  const std::shared_ptr<Service> s = service_;
  s->post([s, sentence, text] {
    const int id = spd_say(s->spd, SPD_MESSAGE, text.c_str());
    Reports& r = reports();
    {
      std::lock_guard lock(r.mutex);
      *sentence = id < 0 ? kRefused : id;
    }
    r.changed.notify_all();
  });
  // Far longer than the slowest reading of the sentence, from the moment it was handed over: a
  // service that stops answering or reporting must not hold the game for ever.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5) +
                     std::chrono::milliseconds(400) * text.size();
  Reports& r = reports();
  for (;;) {
    int id = kPending;
    {
      std::unique_lock lock(r.mutex);
      r.changed.wait_for(lock, std::chrono::milliseconds(5), [&] {
        return *sentence == kRefused || (*sentence >= 0 && r.done.count(*sentence) > 0);
      });
      id = *sentence;
      if (id >= 0 && r.done.erase(static_cast<size_t>(id)) > 0) return;
    }
    if (hungUp()) fail("the desktop speech service has ended");
    if (id == kRefused) fail("the desktop speech service did not take the sentence");
    if (std::chrono::steady_clock::now() >= limit)
      fail(id == kPending ? "the desktop speech service does not answer"
                          : "the desktop speech service never finished the sentence");
    // Between looks the game's own wait runs (a quit cuts the sentence short).
    if (!whileWaiting_) continue;
    try {
      whileWaiting_();
    } catch (...) {
      cancel();
      throw;
    }
  }
}

}  // namespace rd::speechd

// The 3D sound device on OpenAL Soft's loopback device: what a player hears, measured in renders.
#include <gtest/gtest.h>

#include <functional>

#include "platform/openal/openal_sound.h"
#include "platform/service_error.h"
#include "render_helpers.h"

namespace rd {
namespace {

using openal::LoopbackSound;
using testing::render;
using testing::Rendered;

class LoopbackRoom : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = sound_.createDevice();
    listener_ = &device_->createListener();
    listener_->setOrientation(0, 0, 1, 0, 1, 0);
    listener_->setPosition(0, 0, 0);
  }

  // A tone high enough for the head's shadow to tell the ears apart.
  std::unique_ptr<Voice> tone(const std::string& name, int rate = 22050, double hz = 1500,
                              double seconds = 1.0, double silentSeconds = 0) {
    return device_->createVoice(
        name, testing::writeTone(folder_.file(name + ".wav"), rate, hz, seconds, silentSeconds));
  }
  // What the next `ms` sound like, after the device has settled on new settings.
  Rendered hear(double ms = 200) {
    render(sound_, 30);
    return render(sound_, ms);
  }

  // Which ear hears the next 200 ms clearly louder: "right", "left", or "both" when neither does.
  std::string side() {
    const Rendered r = hear();
    return r.right() > 1.5 * r.left() ? "right" : r.left() > 1.5 * r.right() ? "left" : "both";
  }

  testing::TempFolder folder_;
  LoopbackSound sound_;
  std::unique_ptr<SoundDevice> device_;
  Listener* listener_ = nullptr;
};

TEST_F(LoopbackRoom, AsksForHrtfAndGetsIt) {
  EXPECT_EQ(sound_.hrtfStatus().rfind("enabled", 0), 0u) << sound_.hrtfStatus();
}

TEST_F(LoopbackRoom, PlacesVoicesAroundTheListenerWhoFacesAlongZ) {
  auto v = tone("sndFan");
  auto v3d = v->take3D();
  v->loop();

  v3d->setPosition(3, 0, 0);
  EXPECT_EQ(side(), "right");
  v3d->setPosition(-3, 0, 0);
  EXPECT_EQ(side(), "left");

  // Behind the listener it is still heard, with both ears.
  v3d->setPosition(0, 0, -3);
  Rendered behind = hear();
  EXPECT_GT(behind.left(), 0.02);
  EXPECT_GT(behind.right(), 0.02);

  // Turned to face along +x, a voice ahead along +z is on the left.
  listener_->setOrientation(1, 0, 0, 0, 1, 0);
  v3d->setPosition(0, 0, 3);
  EXPECT_EQ(side(), "left");
}

TEST_F(LoopbackRoom, HeadRelativeVoiceKeepsItsPlaceWhenTheListenerTurnsAndMoves) {
  auto v = tone("sndTargetX", 44100);
  auto v3d = v->take3D();
  v3d->setMode(Mode3D::headRelative);
  v3d->setPosition(2, 0, 0);
  v->loop();
  Rendered before = hear();
  EXPECT_GT(before.right(), 1.5 * before.left());

  listener_->setOrientation(-1, 0, 0, 0, 1, 0);
  listener_->setPosition(10, 3, -7);
  Rendered after = hear();
  EXPECT_NEAR(after.right(), before.right(), 0.05 * before.right());
  EXPECT_NEAR(after.left(), before.left(), 0.05 * before.left() + 0.001);
}

TEST_F(LoopbackRoom, ThreeDOffIsCentredAndNormalModeRestoresTheGivenPlace) {
  auto v = tone("sndRotor", 11025);
  auto v3d = v->take3D();
  v3d->setPosition(4, 0, 1);
  v->loop();
  ASSERT_EQ(side(), "right");

  v3d->setMode(Mode3D::off);
  // Moved while 3D is off: it stays in the middle of the head.
  v3d->setPosition(-6, 0, 2);
  Rendered centred = hear();
  EXPECT_GT(centred.both(), 0.05);
  EXPECT_NEAR(centred.left(), centred.right(), 0.05 * centred.both());

  v3d->setMode(Mode3D::normal);
  EXPECT_EQ(side(), "left");
}

TEST_F(LoopbackRoom, ConePointsAlongZAndItsOutsideVolumeAppliesOutsideOnly) {
  auto v = tone("sndWind");
  auto v3d = v->take3D();
  v3d->setConeAngles(5, 30);
  v->loop();

  // Ahead of the listener, the cone points away from it: the listener is outside.
  v3d->setPosition(0, 0, 3);
  Rendered full = hear();
  v3d->setConeOutsideVolume(-2000);
  Rendered outside = hear();
  EXPECT_NEAR(outside.both() / full.both(), 0.1, 0.02);

  // Behind the listener, the cone points at it: inside, the outside volume does not count.
  v3d->setPosition(0, 0, -3);
  Rendered inside = hear();
  v3d->setConeOutsideVolume(0);
  Rendered insideFull = hear();
  EXPECT_NEAR(inside.both(), insideFull.both(), 0.02 * insideFull.both());
}

TEST_F(LoopbackRoom, VolumeAndDistanceFadeAsTheGameSetsThem) {
  auto v = tone("sndTv");
  auto v3d = v->take3D();
  v3d->setPosition(0, 0, 2);
  v->loop();
  Rendered full = hear();
  v->setVolume(-600);
  EXPECT_NEAR(hear().both() / full.both(), 0.5, 0.03);
  v->setVolume(-30000);
  EXPECT_LT(hear().both(), 0.001);
  v->setVolume(0);

  // Distance at the room's scale: full level within 5 units, whatever smaller minimum the game
  // gives; past it the level keeps falling, beyond a smaller maximum too; a larger minimum counts.
  v3d->setMinDistance(1);
  v3d->setMaxDistance(4);
  v3d->setPosition(0, 0, 1);
  Rendered near = hear();
  v3d->setPosition(0, 0, 5);
  EXPECT_NEAR(hear().both(), near.both(), 0.03 * near.both());
  v3d->setPosition(0, 0, 10);
  Rendered ten = hear();
  v3d->setPosition(0, 0, 20);
  Rendered twenty = hear();
  EXPECT_LT(ten.both(), 0.85 * near.both());
  EXPECT_LT(twenty.both(), 0.85 * ten.both());
  v3d->setMinDistance(20);
  EXPECT_NEAR(hear().both(), near.both(), 0.03 * near.both());
}

TEST_F(LoopbackRoom, ListenerRolloffReachesVoicesMadeBeforeAndAfter) {
  auto before = tone("sndEnemy");
  auto before3d = before->take3D();
  before3d->setPosition(0, 0, 40);
  before->loop();
  Rendered faded = hear();
  listener_->setRolloffFactor(0);
  Rendered unfaded = hear();
  EXPECT_GT(unfaded.both(), 2.5 * faded.both());
  before->stop();

  auto after = tone("sndDogBark");
  auto after3d = after->take3D();
  after3d->setPosition(0, 0, 40);
  after->loop();
  EXPECT_NEAR(hear().both(), unfaded.both(), 0.03 * unfaded.both());
}

TEST_F(LoopbackRoom, FrequencyIsReportedClampedAndHeardCapped) {
  auto v = tone("sndRotor", 11025, 100);
  auto v3d = v->take3D();
  v3d->setMode(Mode3D::off);
  EXPECT_EQ(v->getFrequency(), 11025);
  v->loop();
  EXPECT_NEAR(hear(1000).pitchHz(), 100, 3);

  v->setFrequency(22050);
  EXPECT_EQ(v->getFrequency(), 22050);
  EXPECT_NEAR(hear(1000).pitchHz(), 200, 4);

  v->setFrequency(0);
  EXPECT_EQ(v->getFrequency(), 100);
  v->setFrequency(-50);
  EXPECT_EQ(v->getFrequency(), 100);

  // 200000 Hz would be 18 times the recording's rate; the voice plays at ten times.
  v->setFrequency(250000);
  EXPECT_EQ(v->getFrequency(), 200000);
  EXPECT_NEAR(hear(1000).pitchHz(), 1000, 20);
}

TEST_F(LoopbackRoom, StopKeepsThePlaceAndPlayAfterTheEndStartsOver) {
  // 0.2 s of tone, then 0.2 s of silence.
  auto v = tone("sndTv", 22050, 441, 0.2, 0.2);
  v->take3D()->setMode(Mode3D::off);
  v->play();
  EXPECT_GT(render(sound_, 100).both(), 0.05);  // 0.0-0.1: tone
  v->stop();
  render(sound_, 10);                           // fading out
  EXPECT_LT(render(sound_, 90).both(), 0.001);  // stopped
  v->play();
  EXPECT_GT(render(sound_, 90).both(), 0.05);    // 0.1-0.19: tone, resumed where it stopped
  render(sound_, 20);                            // 0.19-0.21
  EXPECT_LT(render(sound_, 150).both(), 0.001);  // 0.21-0.36: the silent half, not a restart
  render(sound_, 100);                           // played to its end
  v->play();
  EXPECT_GT(render(sound_, 150).both(), 0.05);  // from the start again
}

TEST_F(LoopbackRoom, PlayOnALoopingVoiceLetsItRunToItsEnd) {
  auto v = tone("sndEnemyAlarm", 22050, 441, 0.2);
  v->take3D()->setMode(Mode3D::off);
  v->loop();
  EXPECT_GT(render(sound_, 500).both(), 0.05);  // loops past its length
  v->play();
  render(sound_, 250);  // what is left of the current pass
  EXPECT_LT(render(sound_, 200).both(), 0.001);
  v->loop();  // looping again starts over after an end
  EXPECT_GT(render(sound_, 500).both(), 0.05);
}

// Values no card accepts, released voices and a closed device fail the call by name; values
// refused leave the device going on.
TEST_F(LoopbackRoom, BadValuesReleasedVoicesAndAClosedDeviceFailByName) {
  auto v = tone("sndFan");
  auto v3d = v->take3D();
  auto callOf = [](const std::function<void()>& f) {
    try {
      f();
    } catch (const ServiceError& e) {
      return e.call();
    }
    return std::string("no error");
  };
  EXPECT_EQ(callOf([&] { v3d->setConeAngles(10, 400); }), "sndFan.setConeAngles");
  EXPECT_THROW(v3d->setPosition(NAN, 0, 0), ServiceError);
  EXPECT_THROW(listener_->setRolloffFactor(-1), ServiceError);
  v3d->setPosition(0, 0, 2);
  v->loop();
  EXPECT_GT(hear().both(), 0.05);

  v.reset();
  EXPECT_EQ(callOf([&] { v3d->setPosition(1, 2, 3); }), "sndFan.setPosition");
  EXPECT_LT(hear().both(), 0.001);  // released voices fall silent

  auto w = tone("sndTv");
  device_.reset();
  EXPECT_THROW(w->loop(), ServiceError);
  EXPECT_THROW(w->take3D(), ServiceError);
  EXPECT_EQ(sound_.current(), nullptr);
  Rendered silence = render(sound_, 50);
  EXPECT_EQ(silence.both(), 0);
}

}  // namespace
}  // namespace rd

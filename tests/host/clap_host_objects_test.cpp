// The test host's CLAP objects at their edges: the state stream hands out a
// few bytes at a time and then nothing, events come in time order with ties
// kept in the order made, the thread check follows the audio scope, output
// events of another space are refused, and a timer that unregisters timers
// while it runs, itself included, is never called for one that is gone.
#include <gtest/gtest.h>

#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tools/host/clap_host_objects.h"

namespace {

TEST(ClapHostObjects, ReadStreamHandsOutAFewBytesAtATime) {
  const std::vector<char> bytes(250, 'q');
  ClapReadStream reader(bytes);
  const clap_istream_t* stream = reader.Stream();
  char buffer[1000];
  std::vector<int64_t> reads;
  for (int64_t got; (got = stream->read(stream, buffer, sizeof buffer)) > 0;) reads.push_back(got);
  EXPECT_EQ(reads, (std::vector<int64_t>{96, 96, 58}));
  EXPECT_EQ(stream->read(stream, buffer, sizeof buffer), 0);
  EXPECT_EQ(stream->read(stream, nullptr, 4), -1);
}

TEST(ClapHostObjects, EventsInTimeOrderTiesAsMade) {
  clap_param_info_t a = {}, b = {};
  a.id = 7;
  b.id = 9;
  ClapInputEvents events;
  events.AddParamValue(300, a, 1.0);
  events.AddNote(0, 60, 0.5, true);
  events.AddParamValue(0, b, 2.0);
  events.AddNote(300, 61, 0.0, false);
  events.SortByTime();
  const clap_input_events_t* list = events.List();
  ASSERT_EQ(list->size(list), 4u);
  const uint16_t types[] = {CLAP_EVENT_NOTE_ON, CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_PARAM_VALUE,
                            CLAP_EVENT_NOTE_OFF};
  const uint32_t times[] = {0, 0, 300, 300};
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(list->get(list, i)->type, types[i]) << i;
    EXPECT_EQ(list->get(list, i)->time, times[i]) << i;
  }
  EXPECT_EQ(reinterpret_cast<const clap_event_param_value_t*>(list->get(list, 1))->param_id, 9u);
  EXPECT_EQ(list->get(list, 4), nullptr);
}

TEST(ClapHostObjects, OutputEventsOfAnotherSpaceAreRefused) {
  ClapOutputEvents output;
  clap_event_param_value_t value = {};
  value.header = {sizeof value, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  const clap_output_events_t* list = output.List();
  EXPECT_TRUE(list->try_push(list, &value.header));
  value.header.space_id = 3;
  EXPECT_FALSE(list->try_push(list, &value.header));
  value.header = {sizeof value.header, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  EXPECT_FALSE(list->try_push(list, &value.header));  // too short to be a value
  EXPECT_EQ(output.ParamValues(), 1);
}

TEST(ClapHostObjects, ThreadCheckFollowsTheAudioScope) {
  ClapHost host;
  const clap_host_t* record = host.Record();
  const auto* check = static_cast<const clap_host_thread_check_t*>(
      record->get_extension(record, CLAP_EXT_THREAD_CHECK));
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(check->is_main_thread(record));
  EXPECT_FALSE(check->is_audio_thread(record));
  {
    ClapHost::AudioScope audio(host);
    EXPECT_FALSE(check->is_main_thread(record));
    EXPECT_TRUE(check->is_audio_thread(record));
  }
  bool otherMain = true, otherAudio = true;
  std::thread([&] {
    otherMain = check->is_main_thread(record);
    otherAudio = check->is_audio_thread(record);
  }).join();
  EXPECT_FALSE(otherMain);
  EXPECT_FALSE(otherAudio);
}

// A plug-in whose first timer unregisters the second and itself.
struct TimerPlugin {
  clap_plugin_t plugin = {};
  const clap_host_t* host = nullptr;
  const clap_host_timer_support_t* timers = nullptr;
  std::vector<clap_id> ids, calls;
};
TimerPlugin* timerPlugin = nullptr;

void CLAP_ABI OnTimer(const clap_plugin_t*, clap_id id) {
  timerPlugin->calls.push_back(id);
  if (id != timerPlugin->ids[0]) return;
  for (clap_id gone : timerPlugin->ids) {
    EXPECT_TRUE(timerPlugin->timers->unregister_timer(timerPlugin->host, gone));
  }
}

const void* CLAP_ABI PluginExtension(const clap_plugin_t*, const char* id) {
  static const clap_plugin_timer_support_t support = {OnTimer};
  return std::string(id) == CLAP_EXT_TIMER_SUPPORT ? &support : nullptr;
}

TEST(ClapHostObjects, TimersGoneWhileOthersRunAreNotCalled) {
  ClapHost host;
  TimerPlugin fake;
  timerPlugin = &fake;
  fake.plugin.get_extension = PluginExtension;
  fake.host = host.Record();
  fake.timers = static_cast<const clap_host_timer_support_t*>(
      fake.host->get_extension(fake.host, CLAP_EXT_TIMER_SUPPORT));
  ASSERT_NE(fake.timers, nullptr);
  host.SetPlugin(&fake.plugin);
  for (int i = 0; i < 2; ++i) {
    clap_id id = CLAP_INVALID_ID;
    ASSERT_TRUE(fake.timers->register_timer(fake.host, 1, &id));
    fake.ids.push_back(id);
  }
  EXPECT_NE(fake.ids[0], fake.ids[1]);
  {
    ClapHost::AudioScope audio(host);  // timers belong to the main thread
    clap_id id = CLAP_INVALID_ID;
    EXPECT_FALSE(fake.timers->register_timer(fake.host, 1, &id));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  host.RunTimersAndDescriptors();
  EXPECT_EQ(fake.calls, std::vector<clap_id>{fake.ids[0]});
  EXPECT_EQ(host.TimersLeft(), 0u);
  EXPECT_FALSE(fake.timers->unregister_timer(fake.host, fake.ids[1]));
  host.SetPlugin(nullptr);
  timerPlugin = nullptr;
}

}  // namespace

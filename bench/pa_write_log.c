// Loaded into the game by bench/latency.sh (LD_PRELOAD): logs every block OpenAL Soft's pulse
// backend hands to the sound server, with the moment it was handed over, so that the benchmark
// can tell when the period with a key's click or a readout's first sample was mixed, and when the
// server will play it. OpenAL Soft finds libpulse's functions with dlsym, so dlsym is wrapped too.
//
// The underflows the server reports to the stream (it wanted the game's sound and found none
// queued) go to the file named by ROTORDUEL_PA_UNDERFLOW_LOG, one line each: SECONDS. Whatever
// OpenAL Soft asked to be told of them still is.
//
// One line per block, to the file named by ROTORDUEL_PA_LOG:
//   SECONDS BYTES FIRST LATENCY_US RATE FRAME_BYTES
// SECONDS: CLOCK_MONOTONIC just before the hand-over; FIRST: the offset of the block's first byte
// that is not zero, or -1 for silence; LATENCY_US: what the stream reports before the hand-over
// (what the server holds and the sink adds: how long the block's first frame waits to be
// played), or -1 when the server has not said yet.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef struct pa_stream pa_stream;
typedef struct {
  int format;
  uint32_t rate;
  uint8_t channels;
} stream_format;  // PulseAudio's sample format, as its headers lay it out
typedef int (*write_call)(pa_stream*, const void*, size_t, void (*)(void*), int64_t, int);
typedef int (*latency_call)(pa_stream*, uint64_t*, int*);
typedef const stream_format* (*format_call)(pa_stream*);
typedef size_t (*frame_call)(const stream_format*);

typedef void (*notify_cb)(pa_stream*, void*);
typedef void (*set_notify_call)(pa_stream*, notify_cb, void*);
typedef int (*connect_call)(pa_stream*, const char*, const void*, int, const void*, pa_stream*);

static write_call real_write;
static set_notify_call real_set_underflow;
static connect_call real_connect;
static notify_cb their_underflow;
static void* their_underflow_data;
static int underflow_fd = -2;
static latency_call real_latency;
static format_call real_format;
static frame_call real_frame;
static int log_fd = -2;

static void* next_dlsym(void* handle, const char* name) {
  static void* (*real)(void*, const char*);
  if (!real) real = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
  if (!real) real = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
  return real(handle, name);
}

// The log a variable names, opened at its first line (-1: none, or it failed).
static int log_named(int* fd, const char* variable) {
  if (*fd == -2) {
    const char* path = getenv(variable);
    *fd = path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  }
  return *fd;
}

static int logged_write(pa_stream* s, const void* data, size_t bytes, void (*free_cb)(void*),
                        int64_t offset, int seek) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (log_named(&log_fd, "ROTORDUEL_PA_LOG") >= 0) {
    const unsigned char* p = data;
    size_t first = 0;
    while (first < bytes && p[first] == 0) ++first;
    uint64_t latency = 0;
    int negative = 0;
    long long reported = real_latency && real_latency(s, &latency, &negative) == 0 && !negative
                             ? (long long)latency
                             : -1;
    const stream_format* format = real_format ? real_format(s) : NULL;
    char line[160];
    int n = snprintf(line, sizeof line, "%lld.%09ld %zu %lld %lld %u %zu\n", (long long)now.tv_sec,
                     now.tv_nsec, bytes, first < bytes ? (long long)first : -1LL, reported,
                     format ? format->rate : 0, format && real_frame ? real_frame(format) : 0);
    if (n > 0 && write(log_fd, line, (size_t)n) < 0) log_fd = -1;
  }
  return real_write(s, data, bytes, free_cb, offset, seek);
}

static void noted_underflow(pa_stream* s, void* userdata) {
  (void)userdata;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (log_named(&underflow_fd, "ROTORDUEL_PA_UNDERFLOW_LOG") >= 0) {
    char line[64];
    int n = snprintf(line, sizeof line, "%lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
    if (n > 0 && write(underflow_fd, line, (size_t)n) < 0) underflow_fd = -1;
  }
  if (their_underflow) their_underflow(s, their_underflow_data);
}

static void set_underflow(pa_stream* s, notify_cb cb, void* userdata) {
  their_underflow = cb;
  their_underflow_data = userdata;
  if (real_set_underflow) real_set_underflow(s, noted_underflow, NULL);
}

static int connect_playback(pa_stream* s, const char* dev, const void* attr, int flags,
                            const void* volume, pa_stream* sync) {
  if (real_set_underflow) real_set_underflow(s, noted_underflow, NULL);
  return real_connect(s, dev, attr, flags, volume, sync);
}

static void take(void* handle) {
  if (!real_set_underflow)
    real_set_underflow = (set_notify_call)next_dlsym(handle, "pa_stream_set_underflow_callback");
  if (!real_latency) real_latency = (latency_call)next_dlsym(handle, "pa_stream_get_latency");
  if (!real_format) real_format = (format_call)next_dlsym(handle, "pa_stream_get_sample_spec");
  if (!real_frame) real_frame = (frame_call)next_dlsym(handle, "pa_frame_size");
}

// The sanitizer's runtime looks up the functions it wraps through dlsym before its own strcmp
// can answer: names are compared here.
static int same_name(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

void* dlsym(void* handle, const char* name) {
  void* found = next_dlsym(handle, name);
  if (found && same_name(name, "pa_stream_write")) {
    real_write = (write_call)found;
    take(handle);
    return (void*)logged_write;
  }
  if (found && same_name(name, "pa_stream_connect_playback")) {
    real_connect = (connect_call)found;
    take(handle);
    return (void*)connect_playback;
  }
  if (found && same_name(name, "pa_stream_set_underflow_callback")) {
    real_set_underflow = (set_notify_call)found;
    return (void*)set_underflow;
  }
  return found;
}

// A library linked to libpulse directly calls it by name.
int pa_stream_write(pa_stream* s, const void* data, size_t bytes, void (*free_cb)(void*),
                    int64_t offset, int seek) {
  if (!real_write) {
    real_write = (write_call)next_dlsym(RTLD_NEXT, "pa_stream_write");
    take(RTLD_NEXT);
  }
  return logged_write(s, data, bytes, free_cb, offset, seek);
}

int pa_stream_connect_playback(pa_stream* s, const char* dev, const void* attr, int flags,
                               const void* volume, pa_stream* sync) {
  if (!real_connect) {
    real_connect = (connect_call)next_dlsym(RTLD_NEXT, "pa_stream_connect_playback");
    take(RTLD_NEXT);
  }
  return connect_playback(s, dev, attr, flags, volume, sync);
}

void pa_stream_set_underflow_callback(pa_stream* s, notify_cb cb, void* userdata) {
  if (!real_set_underflow) take(RTLD_NEXT);
  set_underflow(s, cb, userdata);
}

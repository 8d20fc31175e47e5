// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a window program and tells how long it took until its first window
// was mapped on the X display, and its peak resident memory then:
//
//   first_map [--settle MS] PROGRAM [ARGUMENTS...]
//
// prints "MILLISECONDS PROCESSOR KIB": the time from just before the program
// is started to the MapNotify of its first top-level window, taken from the X
// server's events (no polling); the processor time its threads had used by
// then (from /proc/PID/task/*/schedstat, which a busy machine disturbs less
// than the clock); and its VmHWM from /proc after it has run MS milliseconds
// more (500 by default) to finish its first paint. The
// program is then asked to close its window (WM_DELETE_WINDOW), as a window
// manager would, and killed if it has not ended two seconds later. Exit
// status 0, or 1 with a message when the program ended or showed nothing
// within 30 seconds.
#include <X11/Xlib.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Waits up to `timeout` for an event; false when none came.
bool NextEvent(Display* display, XEvent& event, std::chrono::milliseconds timeout) {
  const Clock::time_point end = Clock::now() + timeout;
  while (XPending(display) == 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min<long long>(left, 100)));
  }
  XNextEvent(display, &event);
  return true;
}

// The VmHWM line of /proc/PID/status, in KiB; -1 when it can't be read.
long PeakResidentKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// The processor time, in milliseconds, that the threads of `pid` have run.
double ProcessorMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double ns = 0;
  if (DIR* dir = opendir(tasks.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
      double running = 0;
      if (schedstat >> running) ns += running;
    }
    closedir(dir);
  }
  return ns / 1e6;
}

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

// Asks the window to close, as a window manager's close button does; kills
// the program when it has not ended after two seconds.
void Close(Display* display, Window window, pid_t pid) {
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  message.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &message);
  XFlush(display);
  const Clock::time_point end = Clock::now() + std::chrono::seconds(2);
  while (Clock::now() < end) {
    if (Exited(pid)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  long settleMs = 500;
  if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
    settleMs = std::strtol(argv[2], nullptr, 10);
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: first_map [--settle MS] PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "first_map: no X display (DISPLAY=%s)\n", std::getenv("DISPLAY"));
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  // A top-level window is a child of the root window: mapping it sends the
  // root's SubstructureNotify listeners a MapNotify.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[first], argv + first);
    std::perror(argv[first]);
    _exit(127);
  }
  if (pid < 0) {
    std::perror("fork");
    return 2;
  }

  XEvent event;
  Window mapped = 0;
  Clock::time_point shown;
  double processor = 0;
  while (mapped == 0) {
    if (Exited(pid)) {
      std::fprintf(stderr, "first_map: %s ended before it showed a window\n", argv[first]);
      return 1;
    }
    if (!NextEvent(display, event, std::chrono::seconds(30))) {
      std::fprintf(stderr, "first_map: %s showed no window within 30 s\n", argv[first]);
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return 1;
    }
    if (event.type == MapNotify && event.xmap.event == root && event.xmap.override_redirect == False) {
      shown = Clock::now();
      processor = ProcessorMs(pid);
      mapped = event.xmap.window;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  const long peak = PeakResidentKib(pid);
  Close(display, mapped, pid);
  XCloseDisplay(display);
  std::printf("%.1f %.1f %ld\n", std::chrono::duration<double, std::milli>(shown - start).count(), processor, peak);
  return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a window program and tells how long it took until its first window
// was mapped on the X display and until that window was drawn in full, and its
// peak resident memory then:
//
//   first_map [--settle MS] PROGRAM [ARGUMENTS...]
//
// prints "MILLISECONDS PROCESSOR KIB FRAME": the time from just before the
// program is started to the MapNotify of its first top-level window, taken
// from the X server's events (no polling); the processor time its threads had
// used by then (from /proc/PID/task/*/schedstat, which a busy machine disturbs
// less than the clock); its VmHWM from /proc after it has run MS milliseconds
// more (500 by default) to finish its first paint; and the time, from the same
// start, of the first complete frame: the last drawing into the window (a
// DAMAGE extension event) that was followed by at least 200 ms without any,
// so that a text cursor's blinking later does not count. The program is then
// asked to close its window (WM_DELETE_WINDOW), as a window manager would, and
// killed if it has not ended two seconds later. Exit status 0, or 1 with a
// message when the program ended or showed nothing within 30 seconds.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
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
#include <map>
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

// Starts the program of `command`; -1, having said why, when it can't.
pid_t Start(char** command) {
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(command[0], command);
    std::perror(command[0]);
    _exit(127);
  }
  if (pid < 0) std::perror("fork");
  return pid;
}

// Keeps the times of the drawings into each top-level window, watched from
// the window's creation.
void Watch(Display* display, Window root, int damageEvent, const XEvent& e,
           std::map<Window, std::vector<Clock::time_point>>& drawn) {
  if (e.type == CreateNotify && e.xcreatewindow.parent == root && e.xcreatewindow.override_redirect == False) {
    XDamageCreate(display, e.xcreatewindow.window, XDamageReportRawRectangles);
    drawn[e.xcreatewindow.window];
  }
  if (e.type == damageEvent + XDamageNotify) {
    const auto* damage = reinterpret_cast<const XDamageNotifyEvent*>(&e);
    const auto window = drawn.find(damage->drawable);
    if (window != drawn.end()) window->second.push_back(Clock::now());
  }
}

// The first full frame: the last of the drawings that was followed by 200 ms
// without any (or by the end of the watch), not before the map.
Clock::time_point FullFrame(const std::vector<Clock::time_point>& drawings, Clock::time_point shown,
                            Clock::time_point end) {
  Clock::time_point frame = shown;
  for (std::size_t k = 0; k < drawings.size(); ++k) {
    frame = std::max(frame, drawings[k]);
    const Clock::time_point next = k + 1 < drawings.size() ? drawings[k + 1] : end;
    if (next - drawings[k] >= std::chrono::milliseconds(200)) break;
  }
  return frame;
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
  int damageEvent = 0;
  int damageError = 0;
  if (XDamageQueryExtension(display, &damageEvent, &damageError) == False) {
    std::fprintf(stderr, "first_map: the X server has no DAMAGE extension\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  // A top-level window is a child of the root window: creating and mapping it
  // send the root's SubstructureNotify listeners a CreateNotify and a
  // MapNotify. Its drawing is watched from its creation, before anything can
  // be drawn into it.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t pid = Start(argv + first);
  if (pid < 0) return 2;

  XEvent event;
  Window mapped = 0;
  Clock::time_point shown;
  double processor = 0;
  std::map<Window, std::vector<Clock::time_point>> drawn;  // the drawings into each top-level window
  const auto watch = [&](const XEvent& e) { Watch(display, root, damageEvent, e, drawn); };
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
    watch(event);
    if (event.type == MapNotify && event.xmap.event == root && event.xmap.override_redirect == False) {
      shown = Clock::now();
      processor = ProcessorMs(pid);
      mapped = event.xmap.window;
    }
  }
  // The drawing of the first frame goes on while the program settles.
  const Clock::time_point settled = Clock::now() + std::chrono::milliseconds(settleMs);
  while (NextEvent(display, event, std::chrono::duration_cast<std::chrono::milliseconds>(settled - Clock::now()))) {
    watch(event);
    if (Clock::now() >= settled) break;
  }
  const long peak = PeakResidentKib(pid);
  const Clock::time_point frame = FullFrame(drawn[mapped], shown, settled);
  Close(display, mapped, pid);
  XCloseDisplay(display);
  const auto ms = [&](Clock::time_point t) { return std::chrono::duration<double, std::milli>(t - start).count(); };
  std::printf("%.1f %.1f %ld %.1f\n", ms(shown), processor, peak, ms(frame));
  return 0;
}

#pragma once
// The whole simulator on one libevent loop: the chat-server side, the chat
// service, the HTTP update side, the control port and standard input, and
// the scenario timeline. Run it on the calling thread (the program) or on a
// thread of its own (tests), and drive it with control commands.
#include <event2/event.h>
#include <event2/listener.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "chat_service.h"
#include "control.h"
#include "frame_log.h"
#include "http_side.h"
#include "loop_timers.h"
#include "net/event_handles.h"
#include "scenario.h"
#include "sim_server.h"

namespace kanzo {

inline constexpr int kDefaultHttpPort = 58090;
inline constexpr int kDefaultControlPort = 58091;
inline constexpr int kPortDisabled = -1;

struct SimOptions {
  std::string dataFile;      // required
  std::string scenarioFile;  // "" : no scenario
  std::string updateDir;     // "" : no HTTP side
  std::string frameLogPath;  // "" : frames kept in memory only
  ServerOptions server;
  int httpPort = kDefaultHttpPort;        // 0: any free port
  int controlPort = kDefaultControlPort;  // kPortDisabled: none
  bool readStdin = false;
  bool echoNotes = false;  // scenario errors and such also to standard error
  ServiceOptions service;
  std::int64_t sweepMs = 10000;
};

// Options for a simulator inside a test or a benchmark: the given data
// file, any free chat and web ports, no control port.
inline SimOptions EmbeddedSimOptions(std::string dataFile) {
  SimOptions options;
  options.dataFile = std::move(dataFile);
  options.server.port = 0;
  options.httpPort = 0;
  options.controlPort = kPortDisabled;
  return options;
}

class Simulator {
 public:
  explicit Simulator(SimOptions options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Loads the files and binds the ports; the loop does not run yet.
  bool Start(std::string* error);
  // Runs the loop on this thread until "quit" or Stop().
  void Run();
  // Start() and Run() on a thread of the simulator's own.
  bool StartThread(std::string* error);
  // Ends the loop; callable from any thread. Joins the own thread, if any.
  void Stop();

  // Runs a control command on the loop and returns its answer; callable
  // from any thread other than the loop's while the loop runs.
  ControlAnswer Command(const std::string& line);

  int port() const { return server_ ? server_->port() : 0; }
  int httpPort() const { return http_ ? http_->port() : 0; }
  int controlPort() const { return controlPort_; }
  FrameLog& frameLog() { return *log_; }

 private:
  struct ControlClient {
    Simulator* owner = nullptr;
    std::uint64_t id = 0;
    BufferEventPtr bev;
  };
  struct Job {
    std::string line;
    std::promise<ControlAnswer> answer;
  };

  static void OnWake(evutil_socket_t, short, void* arg);
  static void OnStdin(evutil_socket_t, short, void* arg);
  static void OnControlAccept(evconnlistener*, evutil_socket_t fd, sockaddr*, int, void* arg);
  static void OnControlRead(bufferevent* bev, void* arg);
  static void OnControlEvent(bufferevent* bev, short what, void* arg);

  bool ListenControl(std::string* error);
  void PlayScenario(std::int64_t offsetMs);
  void PlayScenarioFrom(std::size_t index, std::int64_t startMs);
  void ScheduleSweep();
  void RunJobs();
  static std::string Render(const ControlAnswer& answer);

  SimOptions options_;
  EventBasePtr base_;
  std::unique_ptr<FrameLog> log_;
  std::unique_ptr<LoopTimers> timers_;
  std::unique_ptr<SimServer> server_;
  std::unique_ptr<ChatService> service_;
  std::unique_ptr<ControlCommands> control_;
  std::unique_ptr<HttpSide> http_;
  std::unique_ptr<evconnlistener, void (*)(evconnlistener*)> controlListener_;
  std::map<std::uint64_t, std::unique_ptr<ControlClient>> controlClients_;
  std::uint64_t nextControlClient_ = 1;
  int controlPort_ = 0;
  EventPtr wake_;
  EventPtr stdinEvent_;
  EvBufferPtr stdinBuffer_;
  Scenario scenario_;
  std::mutex jobsMutex_;
  std::deque<std::unique_ptr<Job>> jobs_;
  std::thread thread_;
  std::atomic<std::thread::id> loopThread_{};
  bool started_ = false;
};

}  // namespace kanzo

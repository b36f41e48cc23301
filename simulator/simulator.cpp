#include "simulator.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/bufferevent.h>
#include <event2/thread.h>
#include <netinet/in.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "packet_codec.h"
#include "sim_data.h"

namespace kanzo {

namespace {

constexpr auto kCommandTimeout = std::chrono::seconds(30);
constexpr std::size_t kLongestControlLine = 64 * 1024;
constexpr int kStdinReadBytes = 4096;

}  // namespace

Simulator::Simulator(SimOptions options)
    : options_(std::move(options)), controlListener_(nullptr, &evconnlistener_free) {
  // Commands come from other threads (tests); the loop is woken through an
  // event, which needs libevent's locking.
  evthread_use_pthreads();
}

Simulator::~Simulator() {
  Stop();
  // Loop objects go before the base they belong to.
  controlClients_.clear();
  controlListener_.reset();
  stdinEvent_.reset();
  wake_.reset();
  http_.reset();
  control_.reset();
  service_.reset();
  server_.reset();
  timers_.reset();
  base_.reset();
}

bool Simulator::Start(std::string* error) {
  SimData data;
  if (!LoadSimData(options_.dataFile, &data, error)) return false;
  if (!options_.scenarioFile.empty() && !LoadScenario(options_.scenarioFile, &scenario_, error)) return false;
  RegisterSimulatorCodecs();
  // A client that goes away while an answer is being written must not end
  // the process the simulator runs in.
  signal(SIGPIPE, SIG_IGN);

  base_.reset(event_base_new());
  if (!base_) {
    *error = "event_base_new 失败";
    return false;
  }
  log_ = std::make_unique<FrameLog>(options_.frameLogPath);
  if (!log_->fileOk()) {
    *error = "无法写帧日志 " + options_.frameLogPath;
    return false;
  }
  timers_ = std::make_unique<LoopTimers>(base_.get());
  server_ = std::make_unique<SimServer>(base_.get(), *timers_, *log_, options_.server);
  service_ = std::make_unique<ChatService>(std::move(data), *server_, *timers_, options_.service);
  server_->SetService(service_.get());
  control_ = std::make_unique<ControlCommands>(*service_, *server_, *log_, *timers_);
  control_->SetQuitHandler([this] { event_base_loopexit(base_.get(), nullptr); });

  if (!server_->Listen(error)) return false;
  if (!options_.updateDir.empty()) {
    http_ = std::make_unique<HttpSide>(base_.get(), options_.updateDir, *log_);
    if (!http_->Listen(options_.server.host, options_.httpPort, error)) return false;
  }
  if (options_.controlPort != kPortDisabled && !ListenControl(error)) return false;

  wake_.reset(event_new(base_.get(), -1, EV_PERSIST, &Simulator::OnWake, this));
  event_add(wake_.get(), nullptr);
  if (options_.readStdin) {
    stdinBuffer_ = NewEvBuffer();
    stdinEvent_.reset(event_new(base_.get(), STDIN_FILENO, EV_READ | EV_PERSIST, &Simulator::OnStdin, this));
    event_add(stdinEvent_.get(), nullptr);
  }
  ScheduleSweep();
  PlayScenario(0);
  started_ = true;
  return true;
}

void Simulator::Run() {
  loopThread_.store(std::this_thread::get_id());
  event_base_dispatch(base_.get());
  // Commands that arrive after the end are answered, not left waiting.
  std::lock_guard<std::mutex> lock(jobsMutex_);
  for (auto& job : jobs_) job->answer.set_value(ControlAnswer{false, "模拟器已停止"});
  jobs_.clear();
}

bool Simulator::StartThread(std::string* error) {
  if (!Start(error)) return false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Simulator::Stop() {
  if (base_) event_base_loopexit(base_.get(), nullptr);
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

// ---------------------------------------------------------------- commands from other threads

ControlAnswer Simulator::Command(const std::string& line) {
  if (!started_) return ControlAnswer{false, "模拟器未启动"};
  if (std::this_thread::get_id() == loopThread_.load()) return control_->Execute(line);
  auto job = std::make_unique<Job>();
  job->line = line;
  std::future<ControlAnswer> answer = job->answer.get_future();
  {
    std::lock_guard<std::mutex> lock(jobsMutex_);
    jobs_.push_back(std::move(job));
  }
  event_active(wake_.get(), EV_READ, 0);
  if (answer.wait_for(kCommandTimeout) != std::future_status::ready) return ControlAnswer{false, "命令超时"};
  return answer.get();
}

void Simulator::OnWake(evutil_socket_t, short, void* arg) { static_cast<Simulator*>(arg)->RunJobs(); }

void Simulator::RunJobs() {
  for (;;) {
    std::unique_ptr<Job> job;
    {
      std::lock_guard<std::mutex> lock(jobsMutex_);
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job->answer.set_value(control_->Execute(job->line));
  }
}

std::string Simulator::Render(const ControlAnswer& answer) {
  if (!answer.ok) return "ERR " + answer.text + "\n";
  return answer.text.empty() ? std::string("OK\n") : answer.text + "\nOK\n";
}

// ---------------------------------------------------------------- standard input

void Simulator::OnStdin(evutil_socket_t fd, short, void* arg) {
  auto* self = static_cast<Simulator*>(arg);
  const int got = evbuffer_read(self->stdinBuffer_.get(), fd, kStdinReadBytes);
  if (got <= 0) {
    // End of input: the simulator goes on with its scenario and ports.
    event_del(self->stdinEvent_.get());
    return;
  }
  for (;;) {
    size_t length = 0;
    char* line = evbuffer_readln(self->stdinBuffer_.get(), &length, EVBUFFER_EOL_ANY);
    if (line == nullptr) break;
    const std::string text(line, length);
    std::free(line);
    const std::string out = Render(self->control_->Execute(text));
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
}

// ---------------------------------------------------------------- control port

bool Simulator::ListenControl(std::string* error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(options_.controlPort));
  inet_pton(AF_INET, options_.server.host.c_str(), &address.sin_addr);
  controlListener_.reset(evconnlistener_new_bind(base_.get(), &Simulator::OnControlAccept, this,
                                                 LEV_OPT_CLOSE_ON_FREE | LEV_OPT_REUSEABLE, -1,
                                                 reinterpret_cast<sockaddr*>(&address), sizeof address));
  if (!controlListener_) {
    *error = "无法监听控制端口 " + std::to_string(options_.controlPort) + ": " + std::strerror(errno);
    return false;
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(evconnlistener_get_fd(controlListener_.get()), reinterpret_cast<sockaddr*>(&bound), &length);
  controlPort_ = ntohs(bound.sin_port);
  return true;
}

void Simulator::OnControlAccept(evconnlistener*, evutil_socket_t fd, sockaddr*, int, void* arg) {
  auto* self = static_cast<Simulator*>(arg);
  auto client = std::make_unique<ControlClient>();
  client->owner = self;
  client->id = self->nextControlClient_++;
  client->bev.reset(bufferevent_socket_new(self->base_.get(), fd, BEV_OPT_CLOSE_ON_FREE));
  if (!client->bev) {
    evutil_closesocket(fd);
    return;
  }
  bufferevent_setcb(client->bev.get(), &Simulator::OnControlRead, nullptr, &Simulator::OnControlEvent, client.get());
  bufferevent_enable(client->bev.get(), EV_READ | EV_WRITE);
  self->controlClients_[client->id] = std::move(client);
}

void Simulator::OnControlRead(bufferevent* bev, void* arg) {
  auto* client = static_cast<ControlClient*>(arg);
  Simulator* self = client->owner;
  const std::uint64_t id = client->id;
  evbuffer* input = bufferevent_get_input(bev);
  for (;;) {
    size_t length = 0;
    char* line = evbuffer_readln(input, &length, EVBUFFER_EOL_ANY);
    if (line == nullptr) break;
    const std::string text(line, length);
    std::free(line);
    const std::string out = Render(self->control_->Execute(text));
    // "quit" ends the loop; the answer is still written before the end.
    if (self->controlClients_.count(id) == 0) return;
    bufferevent_write(bev, out.data(), out.size());
  }
  if (evbuffer_get_length(input) > kLongestControlLine) {
    self->controlClients_.erase(id);  // a line without end: drop the client
  }
}

void Simulator::OnControlEvent(bufferevent*, short what, void* arg) {
  auto* client = static_cast<ControlClient*>(arg);
  if (what & (BEV_EVENT_EOF | BEV_EVENT_ERROR)) client->owner->controlClients_.erase(client->id);
}

// ---------------------------------------------------------------- scenario and upkeep

void Simulator::PlayScenario(std::int64_t offsetMs) {
  if (scenario_.steps.empty()) return;
  const std::int64_t startMs = timers_->NowMillis() + offsetMs;
  timers_->After(offsetMs + scenario_.steps.front().atMs, [this, startMs] { PlayScenarioFrom(0, startMs); });
}

// Steps of one time run in file order: one timer at a time walks the
// timeline, as timers due at the same moment may fire in any order.
void Simulator::PlayScenarioFrom(std::size_t index, std::int64_t startMs) {
  const std::int64_t elapsed = timers_->NowMillis() - startMs;
  while (index < scenario_.steps.size() && scenario_.steps[index].atMs <= elapsed) {
    const ScenarioStep& step = scenario_.steps[index++];
    const ControlAnswer answer = control_->Execute(step.command);
    if (!answer.ok) {
      const std::string text = "场景第" + std::to_string(step.lineNumber) + "行失败: " + answer.text;
      log_->Note(0, text);
      if (options_.echoNotes) std::cerr << text << std::endl;
    }
  }
  if (index < scenario_.steps.size()) {
    timers_->After(scenario_.steps[index].atMs - elapsed, [this, index, startMs] { PlayScenarioFrom(index, startMs); });
  } else if (scenario_.repeatAfterMs >= 0) {
    PlayScenario(scenario_.repeatAfterMs);
  }
}

void Simulator::ScheduleSweep() {
  timers_->After(options_.sweepMs, [this] {
    service_->Sweep();
    ScheduleSweep();
  });
}

}  // namespace kanzo

#pragma once
// Ending the client from outside — a session manager logging the desktop
// out, `kill`, Ctrl+C in a terminal — goes the way of the tray menu's "退出":
// the agent is logged out on the server and in the stored logins instead of
// vanishing and looking online until the server notices.
//
// The signal handler only writes the signal's number to a pipe; the
// user-interface thread reads it through a socket notifier and runs the
// handler given here.
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace kanzo {

class EndSignals final : public QObject {
 public:
  // Called on the user-interface thread with the signal's number.
  using Handler = std::function<void(int signalNumber)>;

  EndSignals();
  ~EndSignals() override;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

  // Catches SIGTERM and SIGINT from now on. False (and nothing caught) when
  // the pipe could not be made.
  bool Install(Handler handler);

  // Lets the signal take its usual course (the process ends by it), for the
  // times there is no session to end cleanly.
  static void EndByDefault(int signalNumber);

 private:
  void OnReadable();

  Handler handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace kanzo

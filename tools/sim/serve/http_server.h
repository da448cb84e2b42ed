// The settings page's HTTP server: one event loop on 127.0.0.1 that holds any number of
// connections up to a bound, none of which can hold another's turn. Open event streams wait
// without a thread; a change is answered whenever its site calls back, from any thread; a
// request must arrive whole within a deadline however slowly it is sent, and a body is refused as
// soon as it passes the limit, however it is framed.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "tools/sim/serve/request.h"

struct MHD_Connection;
struct MHD_Daemon;

namespace vorla::sim {

// Seconds from a connection's start, or from its last answer, within which a request's head and
// body must have arrived: one sent a byte at a time is dropped then.
inline constexpr std::chrono::seconds kRequestDeadline{5};

// What a site makes of a request's head.
struct HeadOutcome {
  enum class Kind { kAnswer, kStream, kReadBody } kind;
  Reply reply;                           // kAnswer
  std::unique_ptr<StreamSource> stream;  // kStream: sent as text/event-stream
};

struct Site {
  std::function<HeadOutcome(const Request&)> head;
  // A request whose head asked for its body, with the whole body (at most `bodyLimit` bytes).
  // `answer` may be called later, once, from any thread.
  std::function<void(const Request&, std::string body, std::function<void(Reply)> answer)> body;
  // The server's own refusals: 400 for a body framed two ways, 413 for one past the limit.
  std::function<Reply(int status)> refusal;
  std::vector<std::pair<std::string, std::string>> headers;  // sent with every answer
  std::size_t bodyLimit = 0;
};

class HttpServer {
 public:
  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds 127.0.0.1:`port` (0: a free one), alone: no other socket may share the port. Returns
  // the port, or -1.
  int listen(int port);

  // Serves `site` on the bound port until stop(); false when the server could not start.
  bool run(const Site& site);

  // From any thread.
  void stop();
  // Asks every open stream for its next text: there is news. From any thread.
  void wakeStreams();

  struct Link;
  struct Exchange;
  struct OpenStream;

 private:
  friend struct Callbacks;

  void post(std::function<void()> task);
  void runPosted();
  void loop();
  void sweep(std::chrono::steady_clock::time_point now);
  void wakeAll(bool beat);
  void endSuspended();

  int handle(MHD_Connection* connection, const char* url, const char* method,
             const char* uploadData, std::size_t* uploadSize, void** context);
  int handleHead(MHD_Connection* connection, Exchange& exchange);
  // The request has arrived whole (or been answered): its deadline no longer runs.
  void arrived(MHD_Connection* connection);
  int queue(MHD_Connection* connection, const Reply& reply);
  int queueStream(MHD_Connection* connection, std::unique_ptr<StreamSource> source);
  int refuseAtOnce(MHD_Connection* connection, const Reply& reply);

  const Site* site_ = nullptr;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  MHD_Daemon* daemon_ = nullptr;
  std::atomic<bool> stopping_ = false;
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
  bool acceptingPosts_ = true;
  // Everything below belongs to the loop's thread.
  std::unordered_set<Link*> links_;
  std::unordered_set<Exchange*> suspended_;
  std::unordered_set<OpenStream*> streams_;
  std::chrono::steady_clock::time_point nextBeat_;
};

}  // namespace vorla::sim

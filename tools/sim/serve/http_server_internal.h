// What the settings page's HTTP server keeps per connection, per request and per open stream,
// and the daemon's callbacks; shared by http_server.cc (the loop) and http_requests.cc (the
// requests).
#pragma once

#include <microhttpd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "tools/sim/serve/http_server.h"

namespace vorla::sim {

using Clock = std::chrono::steady_clock;

// A connection: when its current request started to arrive, and whether it still is arriving.
struct HttpServer::Link {
  int fd;
  Clock::time_point since;
  bool arriving = true;
  bool dropped = false;
};

// A request: its head, its body so far, and its answer (or stream) once the site gave one.
struct HttpServer::Exchange {
  MHD_Connection* connection = nullptr;
  Request request;
  std::string body;
  bool handedOver = false;
  std::optional<Reply> reply;
  std::unique_ptr<StreamSource> stream;
};

// An open stream: the text being sent and how much of it has gone.
struct HttpServer::OpenStream {
  HttpServer* server = nullptr;
  MHD_Connection* connection = nullptr;
  std::unique_ptr<StreamSource> source;
  std::shared_ptr<const std::string> sending;
  std::size_t sent = 0;
  bool beat = false;       // the next call to the source follows a beat
  bool suspended = false;  // waiting off the loop until woken
};

// The daemon's callbacks, each with the server as its closure.
struct Callbacks {
  static MHD_Result request(void* server, MHD_Connection* connection, const char* url,
                            const char* method, const char* version, const char* uploadData,
                            size_t* uploadSize, void** context);
  static void connection(void* server, MHD_Connection* connection, void** socketContext,
                         MHD_ConnectionNotificationCode code);
  static void completed(void* server, MHD_Connection* connection, void** context,
                        MHD_RequestTerminationCode code);
  static std::size_t unescape(void*, MHD_Connection*, char* text);
  static ssize_t readStream(void* stream, uint64_t position, char* buffer, size_t most);
  static void freeStream(void* stream);
};

}  // namespace vorla::sim

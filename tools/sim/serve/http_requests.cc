// The requests of the settings page's HTTP server: each head checked for its framing and given
// to the site, bodies gathered up to the limit, answers and streams queued on the daemon.
#include <strings.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "tools/sim/serve/http_server.h"
#include "tools/sim/serve/http_server_internal.h"

namespace vorla::sim {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

MHD_Result collect(void* into, MHD_ValueKind, const char* key, const char* value) {
  static_cast<std::vector<std::pair<std::string, std::string>>*>(into)->emplace_back(
      key, value ? value : "");
  return MHD_YES;
}

void addHeaders(MHD_Response* response, const Site& site, const std::string& type) {
  for (const auto& [name, value] : site.headers) {
    MHD_add_response_header(response, name.c_str(), value.c_str());
  }
  if (!type.empty()) MHD_add_response_header(response, "Content-Type", type.c_str());
}

// Whether the body's framing is open to two readings, as a request smuggled behind another
// would have it: two lengths, a length beside a coding, or a coding that is not chunked.
bool framedTwoWays(const Request& request) {
  std::size_t lengths = request.headerCount("Content-Length");
  std::size_t codings = request.headerCount("Transfer-Encoding");
  return lengths + codings > 1 ||
         (codings == 1 &&
          ::strcasecmp(request.header("Transfer-Encoding").c_str(), "chunked") != 0);
}

bool hasBody(const Request& request) {
  return request.headerCount("Transfer-Encoding") != 0 ||
         (request.headerCount("Content-Length") != 0 && request.header("Content-Length") != "0");
}

bool longerThan(const Request& request, std::size_t limit) {
  if (request.headerCount("Content-Length") != 1) return false;
  std::string length = request.header("Content-Length");
  // Any length of more digits than the limit's is past it, whatever its value.
  if (length.size() > std::to_string(limit).size()) return true;
  return std::stoull("0" + length) > limit;
}

}  // namespace

// Decodes %HH in a path or a query value, in place, except in a text that would then hold a
// NUL byte: that one stays as sent, since the routes see C strings, and "/index.html%00" must
// not become "/index.html".
std::size_t Callbacks::unescape(void*, MHD_Connection*, char* text) {
  std::size_t length = std::strlen(text);
  std::string decoded;
  for (std::size_t i = 0; i < length; ++i) {
    int high = text[i] == '%' && i + 2 < length ? hexDigit(text[i + 1]) : -1;
    int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
    if (low < 0) {
      decoded += text[i];
      continue;
    }
    if (high == 0 && low == 0) return length;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  std::memcpy(text, decoded.c_str(), decoded.size() + 1);
  return decoded.size();
}

ssize_t Callbacks::readStream(void* cls, uint64_t, char* buffer, size_t most) {
  auto* stream = static_cast<HttpServer::OpenStream*>(cls);
  if (stream->source->ended() || stream->server->stopping_) {
    return MHD_CONTENT_READER_END_OF_STREAM;
  }
  if (!stream->sending || stream->sent == stream->sending->size()) {
    stream->sending = stream->source->next(std::exchange(stream->beat, false));
    stream->sent = 0;
    if (!stream->sending) {
      // Nothing to send: the stream waits off the loop until it is woken.
      stream->suspended = true;
      MHD_suspend_connection(stream->connection);
      return 0;
    }
  }
  std::size_t count = std::min(most, stream->sending->size() - stream->sent);
  std::memcpy(buffer, stream->sending->data() + stream->sent, count);
  stream->sent += count;
  return static_cast<ssize_t>(count);
}

void Callbacks::freeStream(void* cls) {
  auto* stream = static_cast<HttpServer::OpenStream*>(cls);
  stream->server->streams_.erase(stream);
  delete stream;
}

int HttpServer::handle(MHD_Connection* connection, const char* url, const char* method,
                       const char* uploadData, std::size_t* uploadSize, void** context) {
  auto* exchange = static_cast<Exchange*>(*context);
  if (exchange == nullptr) {
    exchange = new Exchange;
    exchange->connection = connection;
    exchange->request.method = method;
    exchange->request.path = url;
    *context = exchange;
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &collect, &exchange->request.headers);
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &collect,
                              &exchange->request.parameters);
    return handleHead(connection, *exchange);
  }
  if (exchange->reply) return queue(connection, *exchange->reply);
  if (exchange->stream) return queueStream(connection, std::move(exchange->stream));
  if (*uploadSize != 0) {
    if (exchange->body.size() + *uploadSize > site_->bodyLimit) {
      return refuseAtOnce(connection, site_->refusal(413));
    }
    exchange->body.append(uploadData, *uploadSize);
    *uploadSize = 0;
    return MHD_YES;
  }
  if (exchange->handedOver) return MHD_YES;
  arrived(connection);
  // The site answers when it can; the connection waits off the loop until then.
  exchange->handedOver = true;
  suspended_.insert(exchange);
  MHD_suspend_connection(connection);
  site_->body(exchange->request, std::move(exchange->body), [this, exchange](Reply reply) {
    post([this, exchange, reply = std::move(reply)] {
      if (suspended_.erase(exchange) == 0) return;
      exchange->reply = reply;
      MHD_resume_connection(exchange->connection);
    });
  });
  return MHD_YES;
}

int HttpServer::handleHead(MHD_Connection* connection, Exchange& exchange) {
  if (framedTwoWays(exchange.request)) {
    arrived(connection);
    return queue(connection, site_->refusal(400));
  }
  HeadOutcome outcome = site_->head(exchange.request);
  switch (outcome.kind) {
    case HeadOutcome::Kind::kAnswer:
      arrived(connection);
      // Answered now, the daemon would close the connection after it, not knowing yet that no
      // body follows: without one, the answer waits for the next call, and the connection
      // stays open for the page's next request.
      if (!hasBody(exchange.request)) {
        exchange.reply = std::move(outcome.reply);
        return MHD_YES;
      }
      return queue(connection, outcome.reply);
    case HeadOutcome::Kind::kStream:
      arrived(connection);
      if (!hasBody(exchange.request)) {
        exchange.stream = std::move(outcome.stream);
        return MHD_YES;
      }
      return queueStream(connection, std::move(outcome.stream));
    case HeadOutcome::Kind::kReadBody:
      break;
  }
  // Refused before a byte of it is read.
  if (longerThan(exchange.request, site_->bodyLimit)) {
    arrived(connection);
    return queue(connection, site_->refusal(413));
  }
  return MHD_YES;
}

void HttpServer::arrived(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  if (auto* link = info ? static_cast<Link*>(info->socket_context) : nullptr) {
    link->arriving = false;
  }
}

int HttpServer::queue(MHD_Connection* connection, const Reply& reply) {
  MHD_Response* response = MHD_create_response_from_buffer(
      reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
  if (response == nullptr) return MHD_NO;
  addHeaders(response, *site_, reply.type);
  MHD_Result queued = MHD_queue_response(connection, reply.status, response);
  MHD_destroy_response(response);
  return queued;
}

int HttpServer::queueStream(MHD_Connection* connection, std::unique_ptr<StreamSource> source) {
  auto* stream = new OpenStream;
  stream->server = this;
  stream->connection = connection;
  stream->source = std::move(source);
  MHD_Response* response = MHD_create_response_from_callback(
      MHD_SIZE_UNKNOWN, 4096, &Callbacks::readStream, stream, &Callbacks::freeStream);
  if (response == nullptr) {
    delete stream;
    return MHD_NO;
  }
  streams_.insert(stream);
  addHeaders(response, *site_, "text/event-stream");
  MHD_Result queued = MHD_queue_response(connection, 200, response);
  MHD_destroy_response(response);
  return queued;
}

// The daemon takes no answer while a body arrives, so a body past the limit, which only its
// chunks showed, is answered here on the socket itself, at once, and the connection dropped:
// reading on to its end would let any client keep the server reading for as long as it likes.
int HttpServer::refuseAtOnce(MHD_Connection* connection, const Reply& reply) {
  std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                     MHD_get_reason_phrase_for(reply.status) + "\r\n";
  for (const auto& [name, value] : site_->headers) text += name + ": " + value + "\r\n";
  text += "Content-Type: " + reply.type +
          "\r\nContent-Length: " + std::to_string(reply.body.size()) +
          "\r\nConnection: close\r\n\r\n" + reply.body;
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (info != nullptr) {
    // Best effort: the answer is small and the socket's buffer, with no answer in it, empty.
    ::send(info->connect_fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  }
  return MHD_NO;
}

}  // namespace vorla::sim

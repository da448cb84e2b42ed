#include "tools/sim/serve/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tools/sim/serve/http_server_internal.h"

namespace vorla::sim {

namespace {

// Enough for every page a person could open and then some; file descriptors permitting.
constexpr unsigned kMostConnections = 4096;
// Kept free for the settings file, the apps' pipes and the server's own.
constexpr rlim_t kSpareDescriptors = 128;
// A connection's memory for its request head and its answer's buffering; a head larger than
// half of it is refused by the server itself.
constexpr std::size_t kMemoryPerConnection = 16 * 1024;
// A connection that makes no progress at all is dropped after this.
constexpr unsigned kIdleSeconds = 20;
// How often every open stream sends a comment, and the loop looks for overdue requests.
constexpr auto kBeat = std::chrono::seconds(5);
constexpr auto kSweep = std::chrono::milliseconds(100);

// Raises the soft limit on open files to the hard one: each connection is one, and the
// default soft limit is often 1024. Returns how many connections the limit leaves room for.
unsigned connectionRoom() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
  }
  if (limit.rlim_cur <= 2 * kSpareDescriptors) return 64;
  return static_cast<unsigned>(
      std::min<rlim_t>(kMostConnections, limit.rlim_cur - kSpareDescriptors));
}

}  // namespace

MHD_Result Callbacks::request(void* server, MHD_Connection* connection, const char* url,
                              const char* method, const char*, const char* uploadData,
                              size_t* uploadSize, void** context) {
  return static_cast<MHD_Result>(static_cast<HttpServer*>(server)->handle(
      connection, url, method, uploadData, uploadSize, context));
}

void Callbacks::connection(void* server, MHD_Connection* connection, void** socketContext,
                           MHD_ConnectionNotificationCode code) {
  auto& links = static_cast<HttpServer*>(server)->links_;
  if (code == MHD_CONNECTION_NOTIFY_STARTED) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    auto* link = new HttpServer::Link{info ? info->connect_fd : -1, Clock::now()};
    links.insert(link);
    *socketContext = link;
  } else {
    auto* link = static_cast<HttpServer::Link*>(*socketContext);
    links.erase(link);
    delete link;
  }
}

// The request is over (answered, or its connection gone): the next one on the connection
// starts its own deadline now.
void Callbacks::completed(void*, MHD_Connection* connection, void** context,
                          MHD_RequestTerminationCode) {
  delete static_cast<HttpServer::Exchange*>(*context);
  *context = nullptr;
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  if (auto* link = info ? static_cast<HttpServer::Link*>(info->socket_context) : nullptr) {
    link->arriving = true;
    link->since = Clock::now();
  }
}

HttpServer::HttpServer() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HttpServer::~HttpServer() {
  if (daemon_ != nullptr) MHD_stop_daemon(daemon_);
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

int HttpServer::listen(int port) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0) return -1;
  // SO_REUSEADDR only: with SO_REUSEPORT a second server, or any other program, could bind the
  // same port and take a share of the page's requests, token and all.
  int yes = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, SOMAXCONN) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return -1;
  }
  return ntohs(address.sin_port);
}

bool HttpServer::run(const Site& site) {
  site_ = &site;
  if (listenFd_ < 0 || wakeFd_ < 0) return false;
  // No thread of MHD's own: this loop runs it, so that the deadlines are kept on the same thread
  // as every connection is served, and a stream waits suspended, costing nothing.
  daemon_ = MHD_start_daemon(
      MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME, 0, nullptr, nullptr, &Callbacks::request, this,
      MHD_OPTION_LISTEN_SOCKET, listenFd_, MHD_OPTION_CONNECTION_LIMIT, connectionRoom(),
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, kMemoryPerConnection, MHD_OPTION_CONNECTION_TIMEOUT,
      kIdleSeconds, MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::connection, this,
      MHD_OPTION_NOTIFY_COMPLETED, &Callbacks::completed, this, MHD_OPTION_UNESCAPE_CALLBACK,
      &Callbacks::unescape, nullptr, MHD_OPTION_END);
  if (daemon_ == nullptr) return false;
  listenFd_ = -1;  // the daemon's now, closed when it stops
  loop();
  endSuspended();
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  return true;
}

void HttpServer::stop() {
  stopping_ = true;
  post([] {});
}

void HttpServer::wakeStreams() {
  post([this] { wakeAll(false); });
}

void HttpServer::post(std::function<void()> task) {
  {
    std::lock_guard lock(postedMutex_);
    if (!acceptingPosts_) return;
    posted_.push_back(std::move(task));
  }
  std::uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void HttpServer::runPosted() {
  std::uint64_t count;
  while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(postedMutex_);
    tasks.swap(posted_);
  }
  for (auto& task : tasks) task();
}

void HttpServer::loop() {
  int poller = ::epoll_create1(EPOLL_CLOEXEC);
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_EPOLL_FD);
  for (int fd : {info->epoll_fd, wakeFd_}) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(poller, EPOLL_CTL_ADD, fd, &event);
  }
  nextBeat_ = Clock::now() + kBeat;
  Clock::time_point nextSweep = Clock::now() + kSweep;
  while (!stopping_) {
    auto untilSweep =
        std::chrono::duration_cast<std::chrono::milliseconds>(nextSweep - Clock::now());
    long long wait = std::max<long long>(0, untilSweep.count());
    MHD_UNSIGNED_LONG_LONG mhdWait;
    if (MHD_get_timeout(daemon_, &mhdWait) == MHD_YES) {
      wait = std::min<long long>(wait, static_cast<long long>(mhdWait));
    }
    epoll_event ready[2];
    ::epoll_wait(poller, ready, 2, static_cast<int>(wait));
    runPosted();
    MHD_run(daemon_);
    if (Clock::now() >= nextSweep) {
      sweep(Clock::now());
      nextSweep = Clock::now() + kSweep;
    }
  }
  ::close(poller);
}

// Drops every connection whose request is still arriving past the deadline (the loop's own
// shutdown of its socket: the daemon then sees it end and closes it), and beats the streams.
void HttpServer::sweep(Clock::time_point now) {
  for (Link* link : links_) {
    if (link->arriving && !link->dropped && now - link->since > kRequestDeadline) {
      link->dropped = true;
      ::shutdown(link->fd, SHUT_RDWR);
    }
  }
  if (now >= nextBeat_) {
    wakeAll(true);
    nextBeat_ = now + kBeat;
  }
}

void HttpServer::wakeAll(bool beat) {
  for (OpenStream* stream : streams_) {
    stream->beat = stream->beat || beat;
    if (stream->suspended) {
      stream->suspended = false;
      MHD_resume_connection(stream->connection);
    }
  }
}

// The daemon may not stop with a connection suspended: each is resumed, a waiting change with
// its refusal, a stream to its end.
void HttpServer::endSuspended() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(postedMutex_);
    acceptingPosts_ = false;
    tasks.swap(posted_);
  }
  for (auto& task : tasks) task();
  wakeAll(false);
  for (Exchange* exchange : suspended_) {
    exchange->reply = jsonReply(503, "error", "vorla-sim is stopping");
    MHD_resume_connection(exchange->connection);
  }
  suspended_.clear();
  MHD_run(daemon_);
}

}  // namespace vorla::sim

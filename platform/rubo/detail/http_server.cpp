#include "rubo/detail/http_server.h"

#include <algorithm>
#include <array>
#include <boost/asio/buffer.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <exception>
#include <limits>
#include <thread>

#include "rubo/detail/http_connection.h"
#include "rubo/detail/logger.h"
#include "rubo/server.h"

namespace rubo::detail {

namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;
using error_code = boost::system::error_code;

// One I/O thread with its own context and the connections it serves. The session list is
// touched on the lane's thread only (or after it ended).
struct Lane {
  std::vector<Session*> sessions;  // declared before the context: sessions it destroys leave it
  net::io_context context{1};
  net::steady_timer sweep{context};
  net::executor_work_guard<net::io_context::executor_type> work{net::make_work_guard(context)};
  std::thread thread;
};

namespace {

std::string BusyResponse(std::uint32_t retryAfterSeconds) {
  const std::string text = "Service Unavailable";
  return "HTTP/1.1 503 Service Unavailable\r\nServer: Rubo\r\nContent-Type: " + std::string(kTextContentType) +
         "\r\nContent-Length: " + std::to_string(text.size()) +
         "\r\nRetry-After: " + std::to_string(retryAfterSeconds) + "\r\nConnection: close\r\n\r\n" + text;
}

// Timeouts are checked a few times per shortest timeout, at most four times a second.
std::chrono::milliseconds SweepPeriod(const Limits& limits) {
  const auto shortest = std::min({limits.idleTimeout, limits.headerTimeout, limits.bodyTimeout, limits.writeTimeout});
  return std::clamp(shortest / 4, std::chrono::milliseconds(5), std::chrono::milliseconds(250));
}

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

}  // namespace

class Session : public std::enable_shared_from_this<Session> {
 public:
  // idleSince_ of a connection whose slot went to a newer one.
  static constexpr std::int64_t kEvicted = -1;

  Session(tcp::socket socket, Lane& lane, HttpServer& server, net::ip::address peer)
      : socket_(std::move(socket)),
        peer_(std::move(peer)),
        lane_(lane),
        server_(server),
        connection_(server.GetLimits(), server.Handler(), server.StoppingFlag()) {}

  ~Session() {
    LeaveLane();
    server_.Unregister(this);
  }

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Lane& GetLane() noexcept { return lane_; }

  // On the lane's thread.
  void Start() {
    Guard([this] {
      laneIndex_ = lane_.sessions.size();
      lane_.sessions.push_back(this);
      error_code ignored;
      socket_.set_option(tcp::no_delay(true), ignored);
      Drive(connection_.Process());
    });
  }

  // On the lane's thread.
  void Close() noexcept {
    if (closed_) {
      return;
    }
    closed_ = true;
    error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    socket_.close(ignored);
    LeaveLane();
    server_.Unregister(this);
  }

  // On the lane's thread, from Stop: a connection that waits for input is closed now, one with
  // a request in progress after its response.
  void CloseIfReading() noexcept {
    if (timedPhase_ == Phase::kIdle || timedPhase_ == Phase::kHeader || timedPhase_ == Phase::kBody ||
        timedPhase_ == Phase::kLinger) {
      Close();
    }
  }

  // On the lane's thread, from the sweep.
  void CheckDeadline(Clock::time_point now) noexcept {
    if (timedPhase_ != Phase::kNone && timedPhase_ != Phase::kBusy && now >= deadline_) {
      Close();
    }
  }

  // Any thread: when the connection waits for a request (since the value returned by
  // IdleSince), claims it for closing; false when it has become busy meanwhile.
  bool TryEvict(std::int64_t seen) noexcept { return seen > 0 && idleSince_.compare_exchange_strong(seen, kEvicted); }
  std::int64_t IdleSince() const noexcept { return idleSince_.load(); }

 private:
  enum class Phase : std::uint8_t { kNone, kIdle, kHeader, kBody, kWrite, kBusy, kLinger };

  template <typename F>
  void Guard(F&& f) noexcept {
    try {
      f();
    } catch (const std::exception& e) {
      RequestLog::Error(std::string("[Rubo] Connection failed: ") + e.what());
      Close();
    } catch (...) {
      RequestLog::Error("[Rubo] Connection failed: unknown exception");
      Close();
    }
  }

  void LeaveLane() noexcept {
    if (laneIndex_ == kNoLane) {
      return;
    }
    auto& sessions = lane_.sessions;
    sessions[laneIndex_] = sessions.back();
    sessions[laneIndex_]->laneIndex_ = laneIndex_;
    sessions.pop_back();
    laneIndex_ = kNoLane;
  }

  // A deadline starts when a phase starts; later reads in the same phase do not move it, so a
  // client that trickles its request gains nothing.
  void Arm(Phase phase) {
    if (phase == timedPhase_) {
      return;
    }
    timedPhase_ = phase;
    const auto& limits = server_.GetLimits();
    switch (phase) {
      case Phase::kIdle:
        deadline_ = Clock::now() + limits.idleTimeout;
        break;
      case Phase::kHeader:
        deadline_ = Clock::now() + limits.headerTimeout;
        break;
      case Phase::kBody:
        deadline_ = Clock::now() + limits.bodyTimeout;
        break;
      case Phase::kWrite:
        deadline_ = Clock::now() + limits.writeTimeout;
        break;
      case Phase::kLinger:
        deadline_ = Clock::now() + limits.lingerTimeout;
        break;
      case Phase::kNone:
      case Phase::kBusy:
        break;
    }
  }

  void Drive(HttpConnection::Action action) {
    if (closed_) {
      return;
    }
    switch (action) {
      case HttpConnection::Action::kRead:
        Read();
        break;
      case HttpConnection::Action::kWrite:
        Write();
        break;
      case HttpConnection::Action::kUpdate:
        RunUpdate();
        break;
      case HttpConnection::Action::kClose:
        Linger();
        break;
    }
  }

  // The response was the last: the client learns it from the end of the stream, and what it
  // still sends is dropped, bounded in time and bytes, before the socket closes.
  void Linger() {
    error_code ec;
    socket_.shutdown(tcp::socket::shutdown_send, ec);
    if (ec || server_.GetLimits().lingerTimeout.count() == 0) {
      Close();
      return;
    }
    Arm(Phase::kLinger);
    lingered_ = 0;
    LingerRead();
  }

  void LingerRead() {
    char* area = connection_.ReadArea();
    socket_.async_read_some(net::buffer(area, connection_.ReadAreaSize()),
                            [self = shared_from_this()](const error_code& ec, std::size_t bytes) {
                              self->Guard([&] {
                                self->lingered_ += bytes;
                                if (ec || self->closed_ || self->lingered_ > self->server_.GetLimits().maxLingerBytes) {
                                  self->Close();
                                  return;
                                }
                                self->LingerRead();
                              });
                            });
  }

  void Read() {
    switch (connection_.GetPhase()) {
      case HttpConnection::Phase::kIdle: {
        Arm(Phase::kIdle);
        std::int64_t expected = 0;
        if (!idleSince_.compare_exchange_strong(expected, Now()) && expected == kEvicted) {
          Close();
          return;
        }
        break;
      }
      case HttpConnection::Phase::kHeader:
        Arm(Phase::kHeader);
        break;
      default:
        Arm(Phase::kBody);
        break;
    }
    char* area = connection_.ReadArea();
    socket_.async_read_some(net::buffer(area, connection_.ReadAreaSize()),
                            [self = shared_from_this()](const error_code& ec, std::size_t bytes) {
                              self->Guard([&] { self->OnRead(ec, bytes); });
                            });
  }

  void OnRead(const error_code& ec, std::size_t bytes) {
    if (ec || closed_) {
      Close();  // end of stream, reset, timeout, stop
      return;
    }
    // Busy from here on, unless the slot was given away meanwhile.
    std::int64_t idle = idleSince_.load();
    while (idle != kEvicted && !idleSince_.compare_exchange_weak(idle, 0)) {
    }
    if (idle == kEvicted) {
      Close();
      return;
    }
    connection_.Received(bytes);
    const auto action = connection_.Process();
    if (const auto status = connection_.TakeRefusal(); status != 0) {
      RequestLog::Warn("[Rubo] Refused a request from " + peer_.to_string() + ": " + std::to_string(status) + " " +
                       connection_.Output().body);
    }
    Drive(action);
  }

  void Write() {
    Arm(Phase::kWrite);
    const auto head = connection_.Head();
    const auto body = connection_.Body();
    const std::array<net::const_buffer, 2> buffers{net::buffer(head.data(), head.size()),
                                                   net::buffer(body.data(), body.size())};
    net::async_write(socket_, buffers, [self = shared_from_this()](const error_code& ec, std::size_t) {
      self->Guard([&] { self->OnWritten(ec); });
    });
  }

  void OnWritten(const error_code& ec) {
    if (ec || closed_) {
      Close();
      return;
    }
    timedPhase_ = Phase::kNone;  // the next phase gets a fresh deadline
    Drive(connection_.Written());
  }

  void RunUpdate() {
    Arm(Phase::kBusy);
    const void* key = connection_.Update().object.get();
    auto task = [self = shared_from_this()]() mutable {
      self->connection_.Handler().RunUpdate(self->connection_.Update(), self->connection_.Output());
      // The lane gets the only reference, so the session ends on its own thread.
      auto& context = self->lane_.context;
      net::post(context,
                [self = std::move(self)] { self->Guard([&] { self->Drive(self->connection_.UpdateDone()); }); });
    };
    if (!server_.Updates().Run(key, std::move(task))) {
      Close();
    }
  }

  static constexpr std::size_t kNoLane = std::numeric_limits<std::size_t>::max();

  tcp::socket socket_;
  const net::ip::address peer_;
  Lane& lane_;
  HttpServer& server_;
  HttpConnection connection_;
  std::atomic<std::int64_t> idleSince_{0};  // steady nanoseconds while waiting for a request
  Clock::time_point deadline_{};
  Phase timedPhase_ = Phase::kNone;
  std::size_t laneIndex_ = kNoLane;
  std::uint64_t lingered_ = 0;
  bool closed_ = false;
};

HttpServer::HttpServer(Server& root, HttpConfig config)
    : config_(std::move(config)),
      busyResponse_(BusyResponse(config_.limits.retryAfterSeconds)),
      handler_(root),
      pool_(config_.limits.maxWorkerThreads, config_.limits.workerIdleTimeout),
      updates_(pool_),
      sweepPeriod_(SweepPeriod(config_.limits)) {
  const std::size_t lanes = std::max<std::size_t>(1, config_.limits.ioThreads);
  for (std::size_t i = 0; i < lanes; ++i) {
    lanes_.push_back(std::make_unique<Lane>());
  }
  acceptor_ = std::make_unique<tcp::acceptor>(lanes_.front()->context);
  acceptRetry_ = std::make_unique<net::steady_timer>(lanes_.front()->context);
}

HttpServer::~HttpServer() {
  Stop(true);
}

void HttpServer::Start() {
  const tcp::endpoint endpoint(net::ip::make_address(config_.address), config_.port);
  acceptor_->open(endpoint.protocol());
  acceptor_->set_option(net::socket_base::reuse_address(true));
  if (endpoint.address().is_v6()) {
    acceptor_->set_option(net::ip::v6_only(true));
  }
  acceptor_->bind(endpoint);
  acceptor_->listen(net::socket_base::max_listen_connections);
  const auto local = acceptor_->local_endpoint();
  boundAddress_ = local.address().to_string();
  port_ = local.port();
  started_ = true;
  Accept();
  for (auto& lane : lanes_) {
    ScheduleSweep(*lane);
    lane->thread = std::thread([&context = lane->context] {
      for (;;) {
        try {
          context.run();
          return;
        } catch (const std::exception& e) {
          RequestLog::Error(std::string("[Rubo] I/O handler failed: ") + e.what());
        } catch (...) {
          RequestLog::Error("[Rubo] I/O handler failed: unknown exception");
        }
      }
    });
  }
}

void HttpServer::PostHeartbeat(std::function<void()> answered) {
  auto remaining = std::make_shared<std::atomic<std::size_t>>(lanes_.size());
  auto shared = std::make_shared<std::function<void()>>(std::move(answered));
  for (auto& lane : lanes_) {
    net::post(lane->context, [remaining, shared] {
      if (remaining->fetch_sub(1) == 1) {
        (*shared)();
      }
    });
  }
}

void HttpServer::ScheduleSweep(Lane& lane) {
  lane.sweep.expires_after(sweepPeriod_);
  lane.sweep.async_wait([this, &lane](const error_code& ec) {
    if (ec || stopping_) {
      return;
    }
    const auto now = Clock::now();
    // A session that closes leaves the list, moving the last one to its place.
    for (std::size_t i = 0; i < lane.sessions.size();) {
      Session* session = lane.sessions[i];
      session->CheckDeadline(now);
      if (i < lane.sessions.size() && lane.sessions[i] == session) {
        ++i;
      }
    }
    ScheduleSweep(lane);
  });
}

void HttpServer::Accept() {
  Lane& lane = *lanes_[nextLane_];
  nextLane_ = (nextLane_ + 1) % lanes_.size();
  acceptor_->async_accept(lane.context, [this, &lane](const error_code& ec, tcp::socket socket) {
    if (ec) {
      if (ec == net::error::operation_aborted || !acceptor_->is_open() || stopping_) {
        return;
      }
      // Out of descriptors or memory: try again shortly rather than spin.
      RequestLog::Error("[Rubo] Accept failed: " + ec.message());
      acceptRetry_->expires_after(std::chrono::milliseconds(50));
      acceptRetry_->async_wait([this](const error_code& timerError) {
        if (!timerError && !stopping_) {
          Accept();
        }
      });
      return;
    }
    try {
      OnAccept(std::move(socket), lane);
    } catch (const std::exception& e) {
      RequestLog::Error(std::string("[Rubo] Accept failed: ") + e.what());
    }
    if (!stopping_) {
      Accept();
    }
  });
}

void HttpServer::OnAccept(tcp::socket socket, Lane& lane) {
  error_code ec;
  const auto peer = socket.remote_endpoint(ec).address();
  if (ec) {
    return;  // already gone
  }
  const auto& limits = config_.limits;
  std::shared_ptr<Session> session;
  std::string refused;
  {
    std::lock_guard lock(sessionsMutex_);
    if (stopRequested_) {
      return;
    }
    const auto peerCount = perPeer_.count(peer) != 0 ? perPeer_[peer] : 0;
    if (peerCount >= limits.maxConnectionsPerPeer && !EvictOldestIdle(&peer)) {
      refused = "it holds " + std::to_string(peerCount) + " connections already";
    } else if (counted_ >= limits.maxConnections && !EvictOldestIdle(nullptr)) {
      refused = "all " + std::to_string(limits.maxConnections) + " connections are busy";
    } else {
      // The socket was accepted on the lane that serves it.
      session = std::make_shared<Session>(std::move(socket), lane, *this, peer);
      sessions_.emplace(session.get(), Entry{session, peer, true});
      ++counted_;
      ++perPeer_[peer];
    }
  }
  if (session) {
    net::post(lane.context, [session = std::move(session)] { session->Start(); });
    return;
  }
  RefuseBusy(socket, "[Rubo] Refused a connection from " + peer.to_string() + ": " + refused);
}

bool HttpServer::EvictOldestIdle(const net::ip::address* peer) {
  // A connection may turn busy between the look and the claim; then look again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    Session* oldest = nullptr;
    std::int64_t oldestSince = 0;
    for (auto& [raw, entry] : sessions_) {
      if (!entry.counted || (peer != nullptr && entry.peer != *peer)) {
        continue;
      }
      const auto since = raw->IdleSince();
      if (since > 0 && (oldest == nullptr || since < oldestSince)) {
        oldest = raw;
        oldestSince = since;
      }
    }
    if (oldest == nullptr) {
      return false;
    }
    if (!oldest->TryEvict(oldestSince)) {
      continue;
    }
    auto& entry = sessions_.at(oldest);
    entry.counted = false;
    --counted_;
    if (--perPeer_[entry.peer] == 0) {
      perPeer_.erase(entry.peer);
    }
    if (auto victim = entry.session.lock()) {
      Lane& lane = victim->GetLane();
      net::post(lane.context, [victim = std::move(victim)] { victim->Close(); });
    }
    return true;
  }
  return false;
}

void HttpServer::RefuseBusy(tcp::socket& socket, const std::string& why) {
  RequestLog::Warn(why);
  // Without blocking the accepting thread: what the client sent already is read and dropped
  // (so that closing does not reset the connection under the answer), then the answer goes
  // into the socket's send buffer, which a fresh connection always has room for.
  error_code ec;
  socket.non_blocking(true, ec);
  std::array<char, 4096> sink{};
  for (int i = 0; i < 4 && !ec; ++i) {
    socket.read_some(net::buffer(sink), ec);
  }
  ec.clear();
  socket.write_some(net::buffer(busyResponse_), ec);
  socket.shutdown(tcp::socket::shutdown_send, ec);
  socket.close(ec);
}

void HttpServer::Unregister(Session* session) {
  {
    std::lock_guard lock(sessionsMutex_);
    const auto it = sessions_.find(session);
    if (it == sessions_.end()) {
      return;
    }
    if (it->second.counted) {
      --counted_;
      if (--perPeer_[it->second.peer] == 0) {
        perPeer_.erase(it->second.peer);
      }
    }
    sessions_.erase(it);
  }
  sessionsChanged_.notify_all();
}

void HttpServer::Stop(bool join) {
  std::vector<std::shared_ptr<Session>> open;
  {
    std::lock_guard lock(sessionsMutex_);
    const bool first = !stopRequested_;
    stopRequested_ = true;
    stopping_ = true;
    if (first) {
      for (auto& [raw, entry] : sessions_) {
        if (auto session = entry.session.lock()) {
          open.push_back(std::move(session));
        }
      }
    }
  }
  sessionsChanged_.notify_all();
  if (started_) {
    // The acceptor and its timer belong to the first lane; they are closed there.
    net::post(lanes_.front()->context, [this] {
      error_code ignored;
      acceptor_->close(ignored);
      acceptRetry_->cancel();
    });
  }
  for (auto& session : open) {
    Lane& lane = session->GetLane();
    net::post(lane.context, [session = std::move(session)] { session->CloseIfReading(); });
  }
  open.clear();
  if (!join || joined_) {
    return;
  }
  joined_ = true;
  if (started_) {
    // Requests in progress get their responses, within the grace time.
    std::unique_lock lock(sessionsMutex_);
    if (!sessionsChanged_.wait_for(lock, config_.limits.stopGrace, [this] { return sessions_.empty(); })) {
      for (auto& [raw, entry] : sessions_) {
        if (auto session = entry.session.lock()) {
          open.push_back(std::move(session));
        }
      }
    }
  }
  for (auto& session : open) {
    Lane& lane = session->GetLane();
    net::post(lane.context, [session = std::move(session)] { session->Close(); });
  }
  open.clear();
  pool_.Stop();
  for (auto& lane : lanes_) {
    lane->work.reset();
    lane->context.stop();
  }
  for (auto& lane : lanes_) {
    if (lane->thread.joinable()) {
      lane->thread.join();
    }
  }
  port_ = 0;
}

void HttpServer::WaitUntilStopped() {
  std::unique_lock lock(sessionsMutex_);
  sessionsChanged_.wait(lock, [this] { return stopRequested_; });
}

}  // namespace rubo::detail

#include "rubo/detail/http_server.h"

#include <pthread.h>
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
#include <utility>

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
  bool sweepArmed = false;  // only while the lane has a connection: an idle server never wakes
  net::executor_work_guard<net::io_context::executor_type> work{net::make_work_guard(context)};
  std::thread thread;
};

namespace {

std::string BusyResponseText(std::uint32_t retryAfterSeconds) {
  const std::string text = "Service Unavailable";
  return "HTTP/1.1 503 Service Unavailable\r\nServer: Rubo\r\nContent-Type: " + std::string(kTextContentType) +
         "\r\nContent-Length: " + std::to_string(text.size()) +
         "\r\nRetry-After: " + std::to_string(retryAfterSeconds) + "\r\nConnection: close\r\n\r\n" + text;
}

// Timeouts are checked a few times per shortest timeout, at most four times a second, and only
// while a connection is open.
std::chrono::milliseconds SweepPeriod(const Limits& limits) {
  const auto shortest = std::min({limits.idleTimeout, limits.headerTimeout, limits.bodyTimeout, limits.writeTimeout});
  return std::clamp(shortest / 4, std::chrono::milliseconds(5), std::chrono::milliseconds(250));
}

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

}  // namespace

// Whether the slot of a connection may go to a newer connection, as the accepting thread sees
// it. One word, so that taking a slot compares exactly what was looked at.
class SlotState {
 public:
  enum class Kind : std::uint8_t {
    kBusy,     // a request is being parsed, run or answered
    kWaiting,  // for bytes of a request, with the time it began waiting for that request
    kEvicted,  // its slot went to a newer connection
  };
  struct Seen {
    Kind kind;
    std::int64_t since;  // steady nanoseconds since the connection waits for its current request
    std::uint64_t word;
  };

  // A connection waits for its first request from the moment it is accepted, so that its slot
  // can be taken before its lane starts it (it is the youngest, so the last to go). Were it busy
  // until then, accepts outrunning the lanes could leave no slot to take, and a fresh client
  // would be refused.
  explicit SlotState(std::int64_t acceptedAt) noexcept : word_(Encode(Kind::kWaiting, acceptedAt)) {}

  Seen Load() const noexcept { return Decode(word_.load()); }
  // Lane: waits for input from now on; false when the slot was taken meanwhile.
  bool Wait(std::int64_t since) noexcept { return Move(Encode(Kind::kWaiting, since)); }
  // Lane: input arrived, the connection is busy; false when the slot was taken meanwhile.
  bool Claim() noexcept { return Move(Encode(Kind::kBusy, 0)); }
  // Accepting thread: takes the slot if the state is still the one seen, a waiting one.
  bool TryEvict(const Seen& seen) noexcept {
    auto expected = seen.word;
    return seen.kind == Kind::kWaiting && word_.compare_exchange_strong(expected, Encode(Kind::kEvicted, 0));
  }

 private:
  static std::uint64_t Encode(Kind kind, std::int64_t since) noexcept {
    return (static_cast<std::uint64_t>(since) << 2) | static_cast<std::uint64_t>(kind);
  }
  static Seen Decode(std::uint64_t word) noexcept {
    return Seen{static_cast<Kind>(word & 3), static_cast<std::int64_t>(word >> 2), word};
  }
  // Any state but evicted may move on; evicted is final.
  bool Move(std::uint64_t next) noexcept {
    auto current = word_.load();
    while (Decode(current).kind != Kind::kEvicted) {
      if (word_.compare_exchange_weak(current, next)) {
        return true;
      }
    }
    return false;
  }

  std::atomic<std::uint64_t> word_{Encode(Kind::kBusy, 0)};
};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, Lane& lane, HttpServer& server, net::ip::address peer)
      : socket_(std::move(socket)),
        peer_(std::move(peer)),
        lane_(lane),
        server_(server),
        connection_(server.GetLimits(), server.Handler(), server.StoppingFlag()),
        slot_(Now()) {}

  ~Session() {
    LeaveLane();
    server_.Unregister(this);
  }

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Lane& GetLane() noexcept { return lane_; }
  SlotState& Slot() noexcept { return slot_; }

  // On the lane's thread.
  void Start() {
    Guard([this] {
      laneIndex_ = lane_.sessions.size();
      lane_.sessions.push_back(this);
      server_.SweepWhileConnected(lane_);
      error_code ignored;
      socket_.set_option(tcp::no_delay(true), ignored);
      socket_.non_blocking(true);  // the session's own reads and writes never block the lane
      Drive(connection_.Process());
    });
  }

  // On the lane's thread.
  void Close() noexcept {
    if (closed_) {
      return;
    }
    closed_ = true;
    gone_ = true;
    error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    socket_.close(ignored);
    LeaveLane();
    server_.Unregister(this);
  }

  // On the lane's thread, from Stop: a connection that waits for input is closed now, one with
  // a request in progress after its response.
  void CloseIfReading() noexcept {
    if (stage_ == Stage::kIdle || stage_ == Stage::kHeader || stage_ == Stage::kBody || stage_ == Stage::kLinger) {
      Close();
    }
  }

  // On the lane's thread, from the sweep.
  void CheckDeadline(Clock::time_point now) noexcept {
    if (stage_ != Stage::kNone && stage_ != Stage::kBusy && now >= deadline_) {
      Close();
    }
  }

  // On the lane's thread, after the slot went to a newer connection (or when the next input
  // shows it). A request that has arrived whole or in its first bytes is still answered, and
  // it is the last; one that was in progress before is answered 503; nothing else is owed.
  void Evicted() noexcept {
    Guard([this] {
      if (closed_ || evictionSeen_) {
        return;
      }
      evictionSeen_ = true;
      if (connection_.GetInputPhase() != HttpConnection::InputPhase::kIdle) {
        RefuseBusy();
        return;
      }
      if (readPending_) {
        // The read may have taken bytes from the socket already: its end decides.
        evictionCancel_ = true;
        error_code ignored;
        socket_.cancel(ignored);
        return;
      }
      EndIdleEvicted();
    });
  }

 private:
  // What the current deadline is for.
  enum class Stage : std::uint8_t { kNone, kIdle, kHeader, kBody, kWrite, kBusy, kLinger };

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

  // A deadline starts when a stage starts; later reads in the same stage do not move it, so a
  // client that trickles its request gains nothing.
  void Arm(Stage stage) {
    if (stage == stage_) {
      return;
    }
    stage_ = stage;
    const auto& limits = server_.GetLimits();
    switch (stage) {
      case Stage::kIdle:
        deadline_ = Clock::now() + limits.idleTimeout;
        break;
      case Stage::kHeader:
        deadline_ = Clock::now() + limits.headerTimeout;
        break;
      case Stage::kBody:
        deadline_ = Clock::now() + limits.bodyTimeout;
        break;
      case Stage::kWrite:
        deadline_ = Clock::now() + limits.writeTimeout;
        break;
      case Stage::kLinger:
        deadline_ = Clock::now() + limits.lingerTimeout;
        break;
      case Stage::kNone:
      case Stage::kBusy:
        break;
    }
  }

  // A loop, so that the responses to a client's pipelined requests that go out at once do not
  // deepen the stack.
  void Drive(HttpConnection::Action action) {
    while (!closed_) {
      switch (action) {
        case HttpConnection::Action::kRead:
          Read();
          return;
        case HttpConnection::Action::kWrite:
          if (!WriteAtOnce()) {
            return;
          }
          stage_ = Stage::kNone;  // the next stage gets a fresh deadline
          action = connection_.Written();
          break;
        case HttpConnection::Action::kUpdate:
          RunUpdate();
          return;
        case HttpConnection::Action::kClose:
          Linger();
          return;
      }
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
    Arm(Stage::kLinger);
    lingering_ = true;
    lingered_ = 0;
    StartRead();  // unless one is under way already: it lingers then
  }

  // The one read of the connection. It goes into the connection's input, except while a
  // request is busy (then it only watches for the client giving up, into a buffer of its own)
  // and while lingering (then what it reads is dropped).
  void StartRead() {
    if (readPending_) {
      return;
    }
    readPending_ = true;
    readIntoScratch_ = lingering_ || updating_;
    if (drained_) {
      // This handler emptied the socket and the lane has not taken its events since: the next
      // bytes come with an event of their own, so the read waits for it rather than first
      // trying one that finds nothing.
      socket_.async_wait(tcp::socket::wait_read, [self = shared_from_this()](const error_code& ec) {
        self->Guard([&] { self->OnReadable(ec); });
      });
      return;
    }
    // Bytes may be there already, their event taken while no read waited: try at once.
    socket_.async_read_some(ReadBuffer(), [self = shared_from_this()](const error_code& ec, std::size_t bytes) {
      self->Guard([&] { self->OnRead(ec, bytes); });
    });
  }

  net::mutable_buffer ReadBuffer() {
    return readIntoScratch_ ? net::buffer(scratch_) : net::buffer(connection_.ReadArea(), connection_.ReadAreaSize());
  }

  void OnReadable(const error_code& ec) {
    if (ec) {
      OnRead(ec, 0);
      return;
    }
    error_code readError;
    const auto bytes = socket_.read_some(ReadBuffer(), readError);
    if (readError == net::error::would_block) {
      readPending_ = false;
      drained_ = true;  // nothing there, seen in this handler
      StartRead();
      drained_ = false;
      return;
    }
    OnRead(readError, bytes);
  }

  void Read() {
    switch (connection_.GetInputPhase()) {
      case HttpConnection::InputPhase::kIdle:
        Arm(Stage::kIdle);
        break;
      case HttpConnection::InputPhase::kHeader:
        Arm(Stage::kHeader);
        break;
      default:
        Arm(Stage::kBody);
        break;
    }
    if (evictionSeen_) {
      if (connection_.GetInputPhase() == HttpConnection::InputPhase::kIdle) {
        // Out of its slot before any byte of a request was read (a read may end without
        // input): a request already in the socket is still answered.
        EndIdleEvicted();
        return;
      }
      // Out of its slot, the connection had its last request in what it read: the rest of
      // that request is not waited for.
      RefuseBusy();
      return;
    }
    // A trickled byte does not make a request younger: what counts is how long the
    // connection has held its slot for the request it has not finished sending, so that a
    // client that sends its request at once is never the first to go.
    if (connection_.GetInputPhase() == HttpConnection::InputPhase::kIdle) {
      waitingSince_ = Now();
    }
    if (!slot_.Wait(waitingSince_)) {
      Evicted();
      if (closed_) {
        return;
      }
    }
    StartRead();
  }

  void OnRead(const error_code& ec, std::size_t bytes) {
    readPending_ = false;
    // A read that did not fill its buffer emptied the socket (a stream read takes all there is).
    const bool drained = bytes < (readIntoScratch_ ? scratch_.size() : connection_.ReadAreaSize());
    const bool evictionCancel = std::exchange(evictionCancel_, false);
    if (closed_) {
      return;
    }
    if (lingering_) {
      lingered_ += bytes;
      if (ec || lingered_ > server_.GetLimits().maxLingerBytes) {
        Close();
        return;
      }
      StartRead();
      return;
    }
    if (ec == net::error::operation_aborted && evictionCancel) {
      EndIdleEvicted();
      return;
    }
    if (ec) {
      // End of stream, reset, timeout, stop. A queued request of this client is dropped.
      Close();
      return;
    }
    const bool requestUnderWay = connection_.GetInputPhase() != HttpConnection::InputPhase::kIdle;
    if (readIntoScratch_) {
      connection_.Feed(scratch_.data(), bytes);
    } else {
      connection_.Received(bytes);
    }
    if (updating_) {
      return;  // kept for after the response; no further read until then (bounded input)
    }
    if (!evictionSeen_ && !slot_.Claim()) {
      // The slot went to a newer connection before these bytes were looked at.
      if (requestUnderWay) {
        Evicted();
        return;
      }
      evictionSeen_ = true;
      connection_.EndAfterNextResponse();
    }
    const auto action = connection_.Process();
    if (const auto status = connection_.TakeRefusal(); status != 0) {
      RequestLog::Warn("[Rubo] Refused a request from " + peer_.to_string() + ": " + std::to_string(status) + " " +
                       connection_.Output().body);
    }
    drained_ = drained;
    Drive(action);
    drained_ = false;  // once this handler returns, the lane may take the socket's events
  }

  // True when the whole response went out now; else what is left goes out on its own (or the
  // connection closed).
  bool WriteAtOnce() {
    Arm(Stage::kWrite);
    const auto head = connection_.Head();
    const auto body = connection_.Body();
    std::array<net::const_buffer, 2> buffers{net::buffer(head.data(), head.size()),
                                             net::buffer(body.data(), body.size())};
    error_code ec;
    auto sent = socket_.write_some(buffers, ec);
    if (ec && ec != net::error::would_block) {
      Close();
      return false;
    }
    if (sent == head.size() + body.size()) {
      return true;
    }
    for (auto& buffer : buffers) {
      const auto taken = std::min(sent, buffer.size());
      buffer += taken;
      sent -= taken;
    }
    net::async_write(socket_, buffers, [self = shared_from_this()](const error_code& writeError, std::size_t) {
      self->Guard([&] { self->OnWritten(writeError); });
    });
    return false;
  }

  void OnWritten(const error_code& ec) {
    if (ec || closed_) {
      Close();
      return;
    }
    stage_ = Stage::kNone;  // the next stage gets a fresh deadline
    Drive(connection_.Written());
  }

  // Evicted while waiting for a request: one already in the socket is read and answered (and
  // is the last), else the connection ends.
  void EndIdleEvicted() {
    error_code ec;
    if (socket_.available(ec) == 0 || ec) {
      Close();
      return;
    }
    connection_.EndAfterNextResponse();
    StartRead();
  }

  // A request that was still arriving when the slot was taken: 503, then the end. What the
  // client sends from here on is dropped.
  void RefuseBusy() {
    Arm(Stage::kWrite);
    lingering_ = true;
    const std::string& busy = server_.BusyResponse();
    net::async_write(socket_, net::buffer(busy), [self = shared_from_this()](const error_code& ec, std::size_t) {
      self->Guard([&] {
        if (ec || self->closed_) {
          self->Close();
          return;
        }
        self->Linger();
      });
    });
  }

  void RunUpdate() {
    Arm(Stage::kBusy);
    updating_ = true;
    const void* key = connection_.Update().object.get();
    auto task = [self = shared_from_this()]() mutable {
      if (self->gone_.load()) {
        // Its client closed the connection while the request waited: no one waits for the
        // write, so it is not made.
        FrameworkLogger().LogInfo() << "[Rubo] Dropped a POST to "
                                    << self->connection_.Update().object->GetUri().ToString(false) << " from "
                                    << self->peer_.to_string() << ": the client closed the connection before it ran";
        self->connection_.Update().Clear();
      } else {
        self->connection_.Handler().RunUpdate(self->connection_.Update(), self->connection_.Output());
      }
      // The lane gets the only reference, so the session ends on its own thread.
      auto& context = self->lane_.context;
      net::post(context, [self = std::move(self)] {
        self->Guard([&] {
          self->updating_ = false;
          self->Drive(self->connection_.UpdateDone());
        });
      });
    };
    if (!server_.Updates().Run(key, std::move(task))) {
      Close();
      return;
    }
    StartRead();  // watches for the client giving up while the request waits or runs
  }

  static constexpr std::size_t kNoLane = std::numeric_limits<std::size_t>::max();
  static constexpr std::size_t kScratchBytes = 512;

  tcp::socket socket_;
  const net::ip::address peer_;
  Lane& lane_;
  HttpServer& server_;
  HttpConnection connection_;
  SlotState slot_;
  std::atomic<bool> gone_{false};  // closed: read by a worker before it runs a queued request
  Clock::time_point deadline_{};
  Stage stage_ = Stage::kNone;
  std::size_t laneIndex_ = kNoLane;
  std::uint64_t lingered_ = 0;
  std::array<char, kScratchBytes> scratch_{};
  bool readPending_ = false;
  bool readIntoScratch_ = false;
  bool drained_ = false;   // this handler's read found the socket empty
  bool updating_ = false;  // a request runs on a worker; the connection is theirs
  bool lingering_ = false;
  std::int64_t waitingSince_ = 0;  // when the connection began waiting for its current request
  bool evictionSeen_ = false;      // the slot went to a newer connection and that was acted on
  bool evictionCancel_ = false;    // the read was cancelled for that
  bool closed_ = false;
};

HttpServer::HttpServer(Server& root, HttpConfig config)
    : config_(std::move(config)),
      busyResponse_(BusyResponseText(config_.limits.retryAfterSeconds)),
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
    lane->thread = std::thread([&context = lane->context] {
      pthread_setname_np(pthread_self(), "rubo-io");
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

void HttpServer::SweepWhileConnected(Lane& lane) {
  if (lane.sweepArmed || stopping_) {
    return;
  }
  lane.sweepArmed = true;
  lane.sweep.expires_after(sweepPeriod_);
  lane.sweep.async_wait([this, &lane](const error_code& ec) {
    lane.sweepArmed = false;
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
    if (!lane.sessions.empty()) {
      SweepWhileConnected(lane);
    }
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
    if (peerCount >= limits.maxConnectionsPerPeer && !EvictOldestWaiting(&peer)) {
      refused = "it holds " + std::to_string(peerCount) + " connections already";
    } else if (counted_ >= limits.maxConnections && !EvictOldestWaiting(nullptr)) {
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

bool HttpServer::EvictOldestWaiting(const net::ip::address* peer) {
  // A connection may make progress between the look and the claim; then look again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    Session* oldest = nullptr;
    SlotState::Seen oldestSeen{};
    for (auto& [raw, entry] : sessions_) {
      if (!entry.counted || (peer != nullptr && entry.peer != *peer)) {
        continue;
      }
      const auto seen = raw->Slot().Load();
      if (seen.kind == SlotState::Kind::kWaiting && (oldest == nullptr || seen.since < oldestSeen.since)) {
        oldest = raw;
        oldestSeen = seen;
      }
    }
    if (oldest == nullptr) {
      return false;
    }
    if (!oldest->Slot().TryEvict(oldestSeen)) {
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
      net::post(lane.context, [victim = std::move(victim)] { victim->Evicted(); });
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

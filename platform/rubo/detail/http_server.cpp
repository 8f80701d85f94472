#include "rubo/detail/http_server.h"

#include <pthread.h>
#include <sys/resource.h>
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
#include <optional>
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

// One connection on its lane: the socket's reads and writes, timed per phase, carrying out what
// its ConnectionState says each event leads to.
class Session : public std::enable_shared_from_this<Session> {
 public:
  using Phase = ConnectionState::Phase;
  using Effect = ConnectionState::Effect;
  using Need = ConnectionState::Need;

  Session(tcp::socket socket, Lane& lane, HttpServer& server, net::ip::address peer)
      : socket_(std::move(socket)),
        peer_(std::move(peer)),
        lane_(lane),
        server_(server),
        connection_(server.GetLimits(), server.Handler(), server.StoppingFlag()),
        state_(Now()) {}

  ~Session() {
    LeaveLane();
    server_.Unregister(state_.Slot());
  }

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Lane& GetLane() noexcept { return lane_; }
  SlotState& Slot() noexcept { return state_.Slot(); }
  // For a connection refused before it started.
  tcp::socket ReleaseSocket() noexcept { return std::move(socket_); }

  // The calls below are made on the lane's thread.
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

  void Close() noexcept {
    if (!socket_.is_open()) {
      return;
    }
    if (state_.Close()) {
      TakeUpdateBack();
    }
    error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    socket_.close(ignored);
    LeaveLane();
    server_.Unregister(state_.Slot());
  }

  // From Stop: a connection that waits for input is closed now, one with a request in progress
  // after its response.
  void Stop() noexcept {
    Guard([this] { Do(state_.Stop()); });
  }

  // From the sweep.
  void CheckDeadline(Clock::time_point now) noexcept {
    if (stage_ != Stage::kNone && now >= deadline_) {
      Guard([this] { Do(state_.Timeout()); });
    }
  }

  // Once the accepting thread has given its slot to a newer connection.
  void Taken() noexcept {
    Guard([this] { Do(state_.Taken()); });
  }

 private:
  // What the current deadline is for.
  enum class Stage : std::uint8_t { kNone, kIdle, kHeader, kBody, kWrite, kLinger };

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
    const auto now = Clock::now();
    switch (stage) {
      case Stage::kIdle:
        deadline_ = now + limits.idleTimeout;
        break;
      case Stage::kHeader:
        deadline_ = now + limits.headerTimeout;
        break;
      case Stage::kBody:
        deadline_ = now + limits.bodyTimeout;
        break;
      case Stage::kWrite:
        deadline_ = now + limits.writeTimeout;
        break;
      case Stage::kLinger:
        deadline_ = now + limits.lingerTimeout;
        break;
      case Stage::kNone:
        break;
    }
  }

  Need NeedOf(HttpConnection::Action action) const noexcept {
    switch (action) {
      case HttpConnection::Action::kRead:
        return connection_.GetInputPhase() == HttpConnection::InputPhase::kIdle ? Need::kRequest : Need::kMoreOfRequest;
      case HttpConnection::Action::kWrite:
        return Need::kWrite;
      case HttpConnection::Action::kUpdate:
        return Need::kUpdate;
      case HttpConnection::Action::kClose:
        break;
    }
    return Need::kEnd;
  }

  // A loop, so that the responses to a client's pipelined requests that go out at once do not
  // deepen the stack.
  void Drive(HttpConnection::Action action) {
    auto effect = state_.Protocol(NeedOf(action), Now());
    while (effect == Effect::kWrite) {
      if (!WriteAtOnce()) {
        return;  // the rest goes out on its own, then OnWritten
      }
      stage_ = Stage::kNone;  // the next stage gets a fresh deadline
      effect = state_.Protocol(NeedOf(connection_.Written()), Now());
    }
    Do(effect);
  }

  void Do(Effect effect) {
    switch (effect) {
      case Effect::kRead:
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
        StartRead();
        return;
      case Effect::kQueue:
        Queue();
        return;
      case Effect::kAnswerUpdate:
        Drive(connection_.UpdateDone());
        return;
      case Effect::kFinish:
        connection_.EndAfterNextResponse();  // and no further read: there is nothing to come
        return;
      case Effect::kLookForRequest:
        connection_.EndAfterNextResponse();
        if (reading_) {
          // The read may have taken bytes from the socket already: its end decides.
          error_code ignored;
          socket_.cancel(ignored);
        } else {
          LookForRequest();
        }
        return;
      case Effect::kRefuseUpdate:
        TakeUpdateBack();
        RefuseBusy();
        return;
      case Effect::kRefuseBusy:
        RefuseBusy();
        return;
      case Effect::kDropUpdate:
        // No one waits for the write any more, so it is not made.
        FrameworkLogger().LogInfo() << "[Rubo] Dropped a POST to "
                                    << connection_.Update().object->GetUri().ToString(false) << " from "
                                    << peer_.to_string() << ": the client closed the connection before it ran";
        TakeUpdateBack();
        Close();
        return;
      case Effect::kLinger:
        Linger();
        return;
      case Effect::kClose:
        Close();
        return;
      case Effect::kNone:
      case Effect::kParse:
      case Effect::kParseLast:
      case Effect::kHold:
      case Effect::kDrop:
      case Effect::kWrite:
        return;  // what a read or Drive acts on itself
    }
  }

  // The one read of the connection. It goes into the protocol's input while a request is read,
  // else into a buffer of its own (a worker may be using the protocol's request meanwhile).
  void StartRead() {
    if (reading_ || !socket_.is_open()) {
      return;
    }
    reading_ = true;
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
    const bool scratch = !state_.ReadsRequests();
    const auto buffer = ReadBuffer(scratch);
    socket_.async_read_some(
        buffer, [self = shared_from_this(), scratch, size = buffer.size()](const error_code& ec, std::size_t bytes) {
          self->Guard([&] { self->OnRead(ec, bytes, scratch, size); });
        });
  }

  net::mutable_buffer ReadBuffer(bool scratch) {
    if (scratch) {
      return net::buffer(scratch_);
    }
    char* area = connection_.ReadArea();  // first: it makes the room that ReadAreaSize tells
    return net::buffer(area, connection_.ReadAreaSize());
  }

  void OnReadable(const error_code& ec) {
    if (ec) {
      OnRead(ec, 0, true, 1);
      return;
    }
    const bool scratch = !state_.ReadsRequests();
    const auto buffer = ReadBuffer(scratch);
    error_code readError;
    const auto bytes = socket_.read_some(buffer, readError);
    if (readError == net::error::would_block) {
      reading_ = false;
      drained_ = true;  // nothing there, seen in this handler
      StartRead();
      drained_ = false;
      return;
    }
    OnRead(readError, bytes, scratch, buffer.size());
  }

  void OnRead(const error_code& ec, std::size_t bytes, bool scratch, std::size_t requested) {
    reading_ = false;
    if (!socket_.is_open()) {
      return;
    }
    if (ec == net::error::operation_aborted) {
      // Cancelled for a request that may have been in the socket when its slot was taken.
      if (state_.GetPhase() == Phase::kLastRequest) {
        LookForRequest();
      }
      return;
    }
    if (ec) {
      Do(ec == net::error::eof ? state_.EndOfInput() : state_.Failed());
      return;
    }
    const auto effect = state_.Input();
    switch (effect) {
      case Effect::kParseLast:
        connection_.EndAfterNextResponse();
        [[fallthrough]];
      case Effect::kParse: {
        Take(bytes, scratch);
        const auto action = connection_.Process();
        if (const auto status = connection_.TakeRefusal(); status != 0) {
          RequestLog::Warn("[Rubo] Refused a request from " + peer_.to_string() + ": " + std::to_string(status) + " " +
                           connection_.Output().body);
        }
        // A read that did not fill its buffer emptied the socket (a stream read takes all
        // there is).
        drained_ = bytes < requested;
        Drive(action);
        drained_ = false;  // once this handler returns, the lane may take the socket's events
        return;
      }
      case Effect::kHold:
        Take(bytes, scratch);
        WatchWhileHeld();
        return;
      case Effect::kDrop:
        lingered_ += bytes;
        if (lingered_ > server_.GetLimits().maxLingerBytes) {
          Close();
        } else {
          StartRead();
        }
        return;
      default:
        Do(effect);
        return;
    }
  }

  void Take(std::size_t bytes, bool scratch) {
    if (scratch) {
      connection_.Feed(scratch_.data(), bytes);
    } else {
      connection_.Received(bytes);
    }
  }

  // While a request is with a worker or being answered, what the client sends after it is kept
  // for later and the socket stays watched, so that its close is seen whatever came before it;
  // beyond the bound the client waits for the response.
  void WatchWhileHeld() {
    if (connection_.InputBytes() < server_.GetLimits().maxHeaderBytes) {
      StartRead();
    }
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
    if (!socket_.is_open()) {
      return;
    }
    if (ec) {
      Close();
      return;
    }
    stage_ = Stage::kNone;  // the next stage gets a fresh deadline
    Drive(connection_.Written());
  }

  // Out of its slot while idle: a request already in the socket is read and answered (its
  // last), else the connection ends.
  void LookForRequest() {
    error_code ec;
    if (socket_.available(ec) == 0 || ec) {
      Close();
      return;
    }
    StartRead();
  }

  // 503 with Retry-After, then the end. What the client sends from here on is dropped.
  void RefuseBusy() {
    Arm(Stage::kLinger);
    const std::string& busy = server_.BusyResponse();
    error_code ec;
    const auto sent = socket_.write_some(net::buffer(busy), ec);
    if (ec && ec != net::error::would_block) {
      Close();
      return;
    }
    if (sent == busy.size()) {
      Linger();
      return;
    }
    net::async_write(socket_, net::buffer(busy) + sent,
                     [self = shared_from_this()](const error_code& writeError, std::size_t) {
                       self->Guard([&] {
                         if (writeError || !self->socket_.is_open()) {
                           self->Close();
                           return;
                         }
                         self->Linger();
                       });
                     });
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
    lingered_ = 0;
    StartRead();  // unless one is under way already: it lingers then
  }

  void Queue() {
    Arm(Stage::kNone);  // a request with a worker has no deadline; its queue is bounded
    auto& update = connection_.Update();
    const void* key = update.object.get();
    auto task = [self = shared_from_this()]() mutable {
      const bool ran = self->state_.Slot().Start();
      if (ran) {
        self->connection_.Handler().RunUpdate(self->connection_.Update(), self->connection_.Output());
      }
      // The lane gets the only reference, so the session ends on its own thread.
      auto& context = self->lane_.context;
      net::post(context,
                [self = std::move(self), ran] { self->Guard([&] { self->Do(self->state_.UpdateDone(ran)); }); });
    };
    const auto& limits = server_.GetLimits();
    switch (server_.Updates().Run(key, std::move(task), limits.maxQueuedUpdates, &ticket_)) {
      case SerialByKey::Outcome::kQueued:
        WatchWhileHeld();
        return;
      case SerialByKey::Outcome::kFull:
        RequestLog::Warn("[Rubo] Refused a POST to " + update.object->GetUri().ToString(false) + " from " +
                         peer_.to_string() + ": " + std::to_string(limits.maxQueuedUpdates) +
                         " writes of it wait already");
        update.Clear();
        Do(state_.QueueFull(Now()));
        return;
      case SerialByKey::Outcome::kStopped:
        update.Clear();
        Close();
        return;
    }
  }

  // Its update never starts: out of its queue, and what it held released here.
  void TakeUpdateBack() {
    auto& update = connection_.Update();
    if (update.object) {
      server_.Updates().Cancel(update.object.get(), ticket_);
    }
    update.Clear();
  }

  static constexpr std::size_t kNoLane = std::numeric_limits<std::size_t>::max();
  static constexpr std::size_t kScratchBytes = 2048;

  tcp::socket socket_;
  const net::ip::address peer_;
  Lane& lane_;
  HttpServer& server_;
  HttpConnection connection_;
  ConnectionState state_;
  Stage stage_ = Stage::kNone;
  Clock::time_point deadline_{};
  std::size_t laneIndex_ = kNoLane;
  SerialByKey::Ticket ticket_ = 0;  // of its queued update
  std::uint64_t lingered_ = 0;
  std::array<char, kScratchBytes> scratch_{};
  bool reading_ = false;  // a read (or a wait for one) is under way
  bool drained_ = false;  // this handler's read found the socket empty
};

HttpServer::HttpServer(Server& root, HttpConfig config)
    : config_(std::move(config)),
      busyResponse_(BusyResponseText(config_.limits.retryAfterSeconds)),
      handler_(root),
      slots_({config_.limits.maxConnections, config_.limits.maxConnectionsPerPeer, 2 * config_.limits.maxConnections}),
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

void HttpServer::FitToOpenFileLimit() {
  auto& limits = config_.limits;
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) != 0) {
    return;
  }
  const auto plan = FitToOpenFiles(limits.maxConnections, files.rlim_cur, files.rlim_max);
  if (plan.softLimit != files.rlim_cur) {
    files.rlim_cur = plan.softLimit;
    if (::setrlimit(RLIMIT_NOFILE, &files) != 0) {
      return;  // the limit stands as it was, and so does every slot: accepts back off when out of descriptors
    }
  }
  if (plan.maxConnections < limits.maxConnections) {
    FrameworkLogger().LogWarn() << "[Rubo] The open-file limit of " << static_cast<std::uint64_t>(plan.softLimit)
                                << " descriptors leaves room for " << static_cast<std::uint64_t>(plan.maxConnections)
                                << " connections, not the " << static_cast<std::uint64_t>(limits.maxConnections)
                                << " configured: serving that many";
    limits.maxConnections = plan.maxConnections;
    limits.maxConnectionsPerPeer = std::min(limits.maxConnectionsPerPeer, plan.maxConnections);
  }
  std::lock_guard lock(sessionsMutex_);
  slots_.SetLimits({limits.maxConnections, limits.maxConnectionsPerPeer, plan.maxOpen});
}

void HttpServer::Start() {
  FitToOpenFileLimit();
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
  std::shared_ptr<Session> session;
  std::optional<std::weak_ptr<Session>> taken;
  std::string refused;
  {
    std::lock_guard lock(sessionsMutex_);
    if (stopRequested_) {
      return;
    }
    // The socket was accepted on the lane that serves it.
    session = std::make_shared<Session>(std::move(socket), lane, *this, peer);
    auto admission = slots_.Admit(session->Slot(), session, peer);
    const auto& limits = slots_.GetLimits();
    switch (admission.refusal) {
      case SlotTable<std::weak_ptr<Session>>::Refusal::kNone:
        taken = std::move(admission.taken);
        break;
      case SlotTable<std::weak_ptr<Session>>::Refusal::kPeerFull:
        refused = "it holds " + std::to_string(slots_.PeerCount(peer)) + " connections already";
        break;
      case SlotTable<std::weak_ptr<Session>>::Refusal::kAllBusy:
        refused = "all " + std::to_string(limits.total) + " connections are busy";
        break;
      case SlotTable<std::weak_ptr<Session>>::Refusal::kTooManyOpen:
        refused = std::to_string(slots_.Open()) + " connections are still open";
        break;
    }
  }
  if (!refused.empty()) {
    // Not in the table: it unregisters nothing when it goes.
    auto refusedSocket = session->ReleaseSocket();
    session.reset();
    RefuseBusy(refusedSocket, "[Rubo] Refused a connection from " + peer.to_string() + ": " + refused);
    return;
  }
  if (taken) {
    if (auto victim = taken->lock()) {
      Lane& victimLane = victim->GetLane();
      net::post(victimLane.context, [victim = std::move(victim)] { victim->Taken(); });
    }
  }
  net::post(lane.context, [session = std::move(session)] { session->Start(); });
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

void HttpServer::Unregister(SlotState& slot) {
  {
    std::lock_guard lock(sessionsMutex_);
    if (!slots_.Remove(slot)) {
      return;
    }
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
      slots_.ForEach([&open](const std::weak_ptr<Session>& handle) {
        if (auto session = handle.lock()) {
          open.push_back(std::move(session));
        }
      });
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
    net::post(lane.context, [session = std::move(session)] { session->Stop(); });
  }
  open.clear();
  if (!join || joined_) {
    return;
  }
  joined_ = true;
  if (started_) {
    // Requests in progress get their responses, within the grace time.
    std::unique_lock lock(sessionsMutex_);
    if (!sessionsChanged_.wait_for(lock, config_.limits.stopGrace, [this] { return slots_.Empty(); })) {
      slots_.ForEach([&open](const std::weak_ptr<Session>& handle) {
        if (auto session = handle.lock()) {
          open.push_back(std::move(session));
        }
      });
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

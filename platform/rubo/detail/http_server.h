#pragma once

#include <atomic>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rubo/detail/config.h"
#include "rubo/detail/request_handler.h"
#include "rubo/detail/slot_table.h"
#include "rubo/detail/worker_pool.h"

namespace rubo {
class Server;
}

namespace rubo::detail {

class Session;
struct Lane;

// HTTP/1.1 transport of one Server. A few I/O threads (lanes), each with its own connections,
// accept, parse and answer every request; only POSTs that run a pre-update hook go to a
// bounded worker pool, serialised per element. Every connection is bounded in what it
// buffers and timed in each phase; the number of connections is bounded, in total and per
// peer address (see Limits).
class HttpServer {
 public:
  HttpServer(Server& root, HttpConfig config);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and starts the threads; throws when the address cannot be bound.
  void Start();
  // Stops accepting and closes the connections that wait for a request; with join it also
  // waits (bounded) for the requests in progress and joins every thread.
  void Stop(bool join);
  // Blocks until Stop was called.
  void WaitUntilStopped();
  std::uint16_t Port() const noexcept { return port_.load(); }
  // The bound address as text (an IPv6 one without brackets).
  const std::string& Address() const noexcept { return boundAddress_; }
  bool IsStopping() const noexcept { return stopping_.load(); }
  // Runs `answered` once every I/O thread has run a task posted now; returns at once. A stuck
  // thread (or one not started or already ended) keeps it from running.
  void PostHeartbeat(std::function<void()> answered);

  // Session side.
  const Limits& GetLimits() const noexcept { return config_.limits; }
  RequestHandler& Handler() noexcept { return handler_; }
  SerialByKey& Updates() noexcept { return updates_; }
  // The 503 of a connection refused for want of a slot, or of a request whose slot or queue place went.
  const std::string& BusyResponse() const noexcept { return busyResponse_; }
  // Arms the lane's timeout sweep unless it is armed; it re-arms itself while the lane has
  // connections. On the lane's thread.
  void SweepWhileConnected(Lane& lane);
  const std::atomic<bool>& StoppingFlag() const noexcept { return stopping_; }
  void Unregister(SlotState& slot);

 private:
  void Accept();
  void OnAccept(boost::asio::ip::tcp::socket socket, Lane& lane);
  void RefuseBusy(boost::asio::ip::tcp::socket& socket, const std::string& why);
  // Before serving: the slots are made to fit the open-file limit (raised where it can be).
  void FitToOpenFileLimit();

  HttpConfig config_;  // its connection limit fitted to the open-file limit at Start
  const std::string busyResponse_;
  RequestHandler handler_;
  std::atomic<std::uint16_t> port_{0};
  std::string boundAddress_;
  std::atomic<bool> stopping_{false};

  // Declared before the lanes: sessions that die with them unregister here.
  std::mutex sessionsMutex_;
  std::condition_variable sessionsChanged_;
  SlotTable<std::weak_ptr<Session>> slots_;
  bool stopRequested_ = false;

  WorkerPool pool_;
  SerialByKey updates_;
  std::vector<std::unique_ptr<Lane>> lanes_;
  std::size_t nextLane_ = 0;  // on the accepting lane's thread
  std::chrono::milliseconds sweepPeriod_;
  std::unique_ptr<boost::asio::ip::tcp::acceptor> acceptor_;
  std::unique_ptr<boost::asio::steady_timer> acceptRetry_;
  bool started_ = false;
  bool joined_ = false;
};

}  // namespace rubo::detail

#pragma once

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "rubo/detail/config.h"
#include "rubo/detail/request_handler.h"
#include "rubo/detail/worker_pool.h"

namespace rubo {
class Server;
}

namespace rubo::detail {

class Session;

// HTTP/1.1 transport of one Server: an acceptor and keep-alive sessions on a few I/O threads,
// requests handled on a worker pool.
class HttpServer {
 public:
  HttpServer(Server& root, HttpConfig config, Limits limits = {});
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and starts the threads; throws when the address cannot be bound.
  void Start();
  // Stops accepting and closes idle connections; with join it also waits (bounded) for the
  // requests in progress and joins every thread.
  void Stop(bool join);
  // Blocks until Stop was called.
  void WaitUntilStopped();
  std::uint16_t Port() const noexcept { return port_.load(); }
  // The bound address as text (an IPv6 one without brackets).
  const std::string& Address() const noexcept { return boundAddress_; }
  bool IsStopping() const noexcept { return stopping_.load(); }

  // Session side.
  const Limits& GetLimits() const noexcept { return limits_; }
  RequestHandler& Handler() noexcept { return handler_; }
  WorkerPool& Pool() noexcept { return pool_; }
  void Unregister(Session* session);

 private:
  void Accept();

  const Limits limits_;
  const HttpConfig config_;
  RequestHandler handler_;
  std::atomic<std::uint16_t> port_{0};
  std::string boundAddress_;
  std::atomic<bool> stopping_{false};

  // Declared before the I/O context: sessions that die with it unregister here.
  std::mutex sessionsMutex_;
  std::condition_variable sessionsChanged_;
  std::unordered_map<Session*, std::weak_ptr<Session>> sessions_;
  bool stopRequested_ = false;

  WorkerPool pool_;
  boost::asio::io_context ioContext_;
  boost::asio::ip::tcp::acceptor acceptor_;
  // Keeps the I/O threads running until Stop joins them, so that work posted while stopping
  // (closing connections) always runs.
  boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work_;
  std::vector<std::thread> ioThreads_;
  bool joined_ = false;
};

}  // namespace rubo::detail

#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/transport/someip_codec.h"

namespace ara::com::transport {

// A SOME/IP stream over one TCP connection, framed by the Length field. Runs on the I/O thread of
// the socket's io_context only.
class TcpConnection : public std::enable_shared_from_this<TcpConnection> {
 public:
  using Endpoint = boost::asio::ip::tcp::endpoint;
  using MessageHandler = std::function<void(TcpConnection&, const someip::Header&, std::span<const std::uint8_t>)>;
  using ClosedHandler = std::function<void(TcpConnection&)>;

  explicit TcpConnection(boost::asio::ip::tcp::socket socket) : socket_(std::move(socket)) {}

  void SetHandlers(MessageHandler onMessage, ClosedHandler onClosed) {
    onMessage_ = std::move(onMessage);
    onClosed_ = std::move(onClosed);
  }

  // For a connection that is already open (accepted).
  void Start();
  void Connect(const Endpoint& remote, const boost::asio::ip::address_v4& local, std::function<void()> onConnected);
  void Send(std::vector<std::uint8_t> bytes);
  void Close();

  bool IsConnected() const noexcept { return connected_ && !closed_; }
  bool IsClosed() const noexcept { return closed_; }
  const Endpoint& Remote() const noexcept { return remote_; }
  const Endpoint& Local() const noexcept { return local_; }

 private:
  void Read();
  // Hands on every whole message buffered; false when the stream was found out of step.
  bool Consume();
  void Flush();

  boost::asio::ip::tcp::socket socket_;
  Endpoint remote_;
  Endpoint local_;
  std::array<std::uint8_t, 65536> chunk_{};
  std::vector<std::uint8_t> inbox_;
  std::deque<std::vector<std::uint8_t>> outbox_;
  bool connected_ = false;
  bool writing_ = false;
  bool closed_ = false;
  MessageHandler onMessage_;
  ClosedHandler onClosed_;
};

}  // namespace ara::com::transport

#include "ara/com/transport/tcp_connection.h"

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
namespace sip = someip;
using tcp = asio::ip::tcp;

// Beyond this a stream is taken to be out of step and the connection is closed.
constexpr std::uint32_t kMaxTcpMessage = 16U * 1024U * 1024U;

}  // namespace

void TcpConnection::Start() {
  connected_ = true;
  boost::system::error_code ec;
  socket_.set_option(tcp::no_delay(true), ec);
  remote_ = socket_.remote_endpoint(ec);
  local_ = socket_.local_endpoint(ec);
  Read();
}

void TcpConnection::Connect(const Endpoint& remote, const asio::ip::address_v4& local,
                            std::function<void()> onConnected) {
  remote_ = remote;
  boost::system::error_code ec;
  socket_.open(tcp::v4(), ec);
  if (!ec) {
    socket_.bind(tcp::endpoint(local, 0), ec);
  }
  if (ec) {
    Close();
    return;
  }
  socket_.async_connect(remote, [self = shared_from_this(),
                                 onConnected = std::move(onConnected)](const boost::system::error_code& error) {
    if (error || self->closed_) {
      self->Close();
      return;
    }
    self->Start();
    if (onConnected) {
      onConnected();
    }
    self->Flush();
  });
}

void TcpConnection::Send(std::vector<std::uint8_t> bytes) {
  if (closed_) {
    return;
  }
  outbox_.push_back(std::move(bytes));
  if (connected_) {
    Flush();
  }
}

void TcpConnection::Close() {
  if (closed_) {
    return;
  }
  closed_ = true;
  boost::system::error_code ec;
  socket_.shutdown(tcp::socket::shutdown_both, ec);
  socket_.close(ec);
  outbox_.clear();
  if (auto onClosed = std::move(onClosed_)) {
    onClosed(*this);
  }
  onMessage_ = nullptr;
}

void TcpConnection::Read() {
  socket_.async_read_some(
      asio::buffer(chunk_), [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
        if (error || self->closed_) {
          self->Close();
          return;
        }
        self->inbox_.insert(self->inbox_.end(), self->chunk_.begin(), self->chunk_.begin() + static_cast<long>(size));
        if (self->Consume()) {
          self->Read();
        }
      });
}

bool TcpConnection::Consume() {
  std::size_t at = 0;
  while (inbox_.size() - at >= sip::kHeaderSize && !closed_) {
    const std::span<const std::uint8_t> rest(inbox_.data() + at, inbox_.size() - at);
    sip::Header header;
    const auto error = sip::ReadHeader(rest, header);
    if (error == sip::HeaderError::kWrongProtocolVersion || header.length < 8 || header.length > kMaxTcpMessage) {
      internal::Trace().LogWarn() << "SOME/IP over TCP from " << remote_.address().to_string() << ":" << remote_.port()
                                  << " out of step, closing the connection";
      Close();
      return false;
    }
    if (error == sip::HeaderError::kBadLength) {
      break;  // the rest of the message is still on its way
    }
    const std::size_t size = sip::kHeaderSize + header.length - 8;
    if (onMessage_) {
      onMessage_(*this, header, rest.subspan(sip::kHeaderSize, header.length - 8));
    }
    at += size;
  }
  inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<long>(at));
  return !closed_;
}

void TcpConnection::Flush() {
  if (writing_ || outbox_.empty() || closed_) {
    return;
  }
  writing_ = true;
  asio::async_write(socket_, asio::buffer(outbox_.front()),
                    [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
                      self->writing_ = false;
                      if (error || self->closed_) {
                        self->Close();
                        return;
                      }
                      self->outbox_.pop_front();
                      self->Flush();
                    });
}

}  // namespace ara::com::transport

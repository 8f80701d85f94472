#include "rubo/detail/http_server.h"

#include <boost/asio/bind_executor.hpp>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <optional>

#include "rubo/detail/logger.h"
#include "rubo/server.h"

namespace rubo::detail {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, HttpServer& owner) : stream_(std::move(socket)), owner_(owner) {}
  ~Session() { owner_.Unregister(this); }

  void Start() {
    net::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->Read(); });
  }

  // From Stop: a connection that waits for a request is closed now; one with a request in
  // progress closes after its response.
  void CloseIfIdle() {
    net::post(stream_.get_executor(), [self = shared_from_this()] {
      if (self->reading_) {
        self->Close();
      }
    });
  }

  // From Stop after the grace time.
  void ForceClose() {
    net::post(stream_.get_executor(), [self = shared_from_this()] { self->Close(); });
  }

 private:
  void Read() {
    if (owner_.IsStopping()) {
      Close();
      return;
    }
    reading_ = true;
    parser_.emplace();
    parser_->header_limit(owner_.GetLimits().maxHeaderBytes);
    parser_->body_limit(owner_.GetLimits().maxBodyBytes);
    stream_.expires_after(owner_.GetLimits().readTimeout);
    http::async_read(stream_, buffer_, *parser_, beast::bind_front_handler(&Session::OnRead, shared_from_this()));
  }

  void OnRead(beast::error_code ec, std::size_t /*bytes*/) {
    reading_ = false;
    if (ec) {
      if (ec == http::error::header_limit) {
        WriteFinal(431, "Request Header Fields Too Large");
      } else if (ec == http::error::body_limit) {
        WriteFinal(413, "Payload Too Large");
      } else if (ec.category() == http::make_error_code(http::error::end_of_stream).category() &&
                 ec != http::error::end_of_stream && ec != http::error::partial_message) {
        WriteFinal(400, "Bad Request");
      } else {
        Close();  // end of stream, timeout, reset, stop
      }
      return;
    }
    stream_.expires_never();
    auto request = std::make_shared<http::request<http::string_body>>(parser_->release());
    const bool submitted = owner_.Pool().Submit([self = shared_from_this(), request] {
      Method method = Method::kOther;
      if (request->method() == http::verb::get) {
        method = Method::kGet;
      } else if (request->method() == http::verb::post) {
        method = Method::kPost;
      }
      const auto target = request->target();
      auto response =
          self->owner_.Handler().Handle(method, std::string_view(target.data(), target.size()), request->body());
      net::post(self->stream_.get_executor(), [self, request, response = std::move(response)]() mutable {
        self->Write(*request, std::move(response));
      });
    });
    if (!submitted) {
      Close();
    }
  }

  void Write(const http::request<http::string_body>& request, Response response) {
    auto message = std::make_shared<http::response<http::string_body>>();
    message->version(request.version());
    Fill(*message, std::move(response));
    message->keep_alive(request.keep_alive() && !owner_.IsStopping());
    Send(std::move(message));
  }

  void WriteFinal(std::uint16_t status, std::string text) {
    auto message = std::make_shared<http::response<http::string_body>>();
    message->version(11);
    Fill(*message, TextResponse(status, std::move(text)));
    message->keep_alive(false);
    Send(std::move(message));
  }

  static void Fill(http::response<http::string_body>& message, Response response) {
    message.result(response.status);
    if (http::int_to_status(response.status) == http::status::unknown) {
      message.reason("Unknown");
    }
    message.set(http::field::server, "Rubo");
    message.set(http::field::content_type, response.contentType);
    if (!response.allow.empty()) {
      message.set(http::field::allow, response.allow);
    }
    message.body() = std::move(response.body);
    message.prepare_payload();
  }

  void Send(std::shared_ptr<http::response<http::string_body>> message) {
    stream_.expires_after(owner_.GetLimits().writeTimeout);
    const bool keepAlive = message->keep_alive();
    http::async_write(stream_, *message,
                      [self = shared_from_this(), message, keepAlive](beast::error_code ec, std::size_t) {
                        if (ec || !keepAlive) {
                          self->Close();
                        } else {
                          self->Read();
                        }
                      });
  }

  void Close() {
    if (closed_) {
      return;
    }
    closed_ = true;
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.close();
  }

  beast::tcp_stream stream_;
  HttpServer& owner_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  bool reading_ = false;
  bool closed_ = false;
};

HttpServer::HttpServer(Server& root, HttpConfig config, Limits limits)
    : limits_(limits),
      config_(std::move(config)),
      handler_(root),
      pool_(limits.maxWorkerThreads),
      acceptor_(net::make_strand(ioContext_)),
      work_(net::make_work_guard(ioContext_)) {}

HttpServer::~HttpServer() {
  Stop(true);
}

void HttpServer::Start() {
  const tcp::endpoint endpoint(net::ip::make_address(config_.address), config_.port);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(net::socket_base::reuse_address(true));
  if (endpoint.address().is_v6()) {
    acceptor_.set_option(net::ip::v6_only(true));
  }
  acceptor_.bind(endpoint);
  acceptor_.listen(net::socket_base::max_listen_connections);
  const auto local = acceptor_.local_endpoint();
  boundAddress_ = local.address().to_string();
  port_ = local.port();
  Accept();
  for (std::size_t i = 0; i < limits_.ioThreads; ++i) {
    ioThreads_.emplace_back([this] { ioContext_.run(); });
  }
}

void HttpServer::Accept() {
  acceptor_.async_accept(net::make_strand(ioContext_), [this](beast::error_code ec, tcp::socket socket) {
    if (ec) {
      if (ec == net::error::operation_aborted || !acceptor_.is_open()) {
        return;
      }
      FrameworkLogger().LogError() << "[Rubo] Accept failed: " << ec.message();
    } else {
      std::shared_ptr<Session> session;
      {
        std::lock_guard lock(sessionsMutex_);
        if (!stopRequested_ && sessions_.size() < limits_.maxConnections) {
          session = std::make_shared<Session>(std::move(socket), *this);
          sessions_.emplace(session.get(), session);
        }
      }
      if (session) {
        session->Start();
      } else {
        beast::error_code ignored;
        socket.close(ignored);
      }
    }
    if (!stopping_) {
      Accept();
    }
  });
}

void HttpServer::Unregister(Session* session) {
  {
    std::lock_guard lock(sessionsMutex_);
    sessions_.erase(session);
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
      for (auto& [pointer, weak] : sessions_) {
        if (auto session = weak.lock()) {
          open.push_back(std::move(session));
        }
      }
    }
  }
  sessionsChanged_.notify_all();
  // The acceptor belongs to its strand; it is closed there.
  net::post(acceptor_.get_executor(), [this] {
    beast::error_code ignored;
    acceptor_.close(ignored);
  });
  for (auto& session : open) {
    session->CloseIfIdle();
  }
  open.clear();
  if (!join || joined_) {
    return;
  }
  joined_ = true;
  {
    // Requests in progress get their responses, within the grace time.
    std::unique_lock lock(sessionsMutex_);
    if (!sessionsChanged_.wait_for(lock, limits_.stopGrace, [this] { return sessions_.empty(); })) {
      for (auto& [pointer, weak] : sessions_) {
        if (auto session = weak.lock()) {
          open.push_back(std::move(session));
        }
      }
    }
  }
  for (auto& session : open) {
    session->ForceClose();
  }
  open.clear();
  pool_.Stop();
  work_.reset();
  ioContext_.stop();
  for (auto& thread : ioThreads_) {
    thread.join();
  }
  ioThreads_.clear();
  port_ = 0;
}

void HttpServer::WaitUntilStopped() {
  std::unique_lock lock(sessionsMutex_);
  sessionsChanged_.wait(lock, [this] { return stopRequested_; });
}

}  // namespace rubo::detail

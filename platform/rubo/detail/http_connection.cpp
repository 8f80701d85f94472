#include "rubo/detail/http_connection.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace rubo::detail {

const char* ReasonPhrase(std::uint16_t status) noexcept {
  switch (status) {
    case 100:
      return "Continue";
    case 200:
      return "OK";
    case 201:
      return "Created";
    case 202:
      return "Accepted";
    case 204:
      return "No Content";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 409:
      return "Conflict";
    case 413:
      return "Payload Too Large";
    case 415:
      return "Unsupported Media Type";
    case 417:
      return "Expectation Failed";
    case 422:
      return "Unprocessable Entity";
    case 429:
      return "Too Many Requests";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Unknown";
  }
}

namespace {

constexpr std::size_t kKeptResponseBytes = 32 * 1024;
constexpr std::size_t kKeptBodyBytes = 16 * 1024;

void AppendNumber(std::uint64_t value, std::string& out) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  out.append(buffer, result.ptr);
}

}  // namespace

HttpConnection::HttpConnection(const Limits& limits, RequestHandler& handler, const std::atomic<bool>& stopping)
    : handler_(handler), stopping_(stopping), parser_(limits) {}

char* HttpConnection::ReadArea() {
  if (begin_ == end_) {
    begin_ = end_ = 0;
  }
  if (input_.size() - end_ < kReadSize) {
    if (begin_ != 0) {
      std::memmove(input_.data(), input_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    if (input_.size() - end_ < kReadSize) {
      input_.resize(end_ + kReadSize);
    }
  }
  return input_.data() + end_;
}

void HttpConnection::Received(std::size_t bytes) {
  end_ += std::min(bytes, input_.size() - end_);
}

void HttpConnection::Feed(const char* data, std::size_t size) {
  while (size != 0) {
    char* area = ReadArea();
    const auto take = std::min(size, ReadAreaSize());
    std::memcpy(area, data, take);
    Received(take);
    data += take;
    size -= take;
  }
}

HttpConnection::InputPhase HttpConnection::GetInputPhase() const noexcept {
  if (updating_ || interim_) {
    return InputPhase::kOther;
  }
  switch (parser_.GetState()) {
    case RequestParser::State::kHeader:
      return parser_.Started() || end_ != begin_ ? InputPhase::kHeader : InputPhase::kIdle;
    case RequestParser::State::kDone:
    case RequestParser::State::kFailed:
      return InputPhase::kOther;
    default:
      return InputPhase::kBody;
  }
}

HttpConnection::Action HttpConnection::Process() {
  for (;;) {
    begin_ += parser_.Parse(Pending());
    if (parser_.GetState() == RequestParser::State::kFailed) {
      return Fail(parser_.ErrorStatus(), parser_.ErrorText());
    }
    auto& request = parser_.Request();
    if (parser_.HeaderComplete() && !headerSeen_) {
      headerSeen_ = true;
      if (request.expectContinue && parser_.GetState() != RequestParser::State::kDone) {
        // The client waits before it sends the body: refuse now what the body cannot save.
        if (handler_.Refuse(request, response_)) {
          closeAfterWrite_ = true;  // the body was never read
          return Respond(false);
        }
        if (begin_ == end_) {
          head_.assign("HTTP/1.1 100 Continue\r\n\r\n");
          writeBody_ = false;
          interim_ = true;
          return Action::kWrite;
        }
      }
      continue;  // the body may be in the input already
    }
    if (parser_.GetState() == RequestParser::State::kDone) {
      if (handler_.Handle(request, response_, update_)) {
        return Respond(request.keepAlive);
      }
      updating_ = true;
      return Action::kUpdate;
    }
    return Action::kRead;
  }
}

HttpConnection::Action HttpConnection::UpdateDone() {
  updating_ = false;
  return Respond(parser_.Request().keepAlive);
}

HttpConnection::Action HttpConnection::Written() {
  if (interim_) {
    interim_ = false;
    writeBody_ = true;
    return Process();
  }
  if (closeAfterWrite_) {
    return Action::kClose;
  }
  NextRequest();
  return Process();
}

HttpConnection::Action HttpConnection::Fail(std::uint16_t status, const char* text) {
  refusal_ = status;
  response_.SetText(status, text);
  closeAfterWrite_ = true;
  return Respond(false);
}

HttpConnection::Action HttpConnection::Respond(bool keepAlive) {
  const bool keep = keepAlive && !closeAfterWrite_ && !stopping_.load(std::memory_order_relaxed);
  closeAfterWrite_ = !keep;
  writeBody_ = parser_.Request().method != Method::kHead;
  BuildHead(keep);
  return Action::kWrite;
}

void HttpConnection::BuildHead(bool keepAlive) {
  const std::uint16_t status = response_.status;
  // These two never carry a body, nor a length that would announce one.
  const bool bodiless = status == 204 || status == 304;
  if (bodiless) {
    writeBody_ = false;
  }
  head_.clear();
  head_.append("HTTP/1.1 ");
  AppendNumber(status, head_);
  head_.push_back(' ');
  head_.append(ReasonPhrase(status));
  head_.append("\r\nServer: Rubo\r\n");
  if (!bodiless) {
    head_.append("Content-Type: ");
    head_.append(response_.contentType);
    head_.append("\r\nContent-Length: ");
    AppendNumber(response_.body.size(), head_);
    head_.append("\r\n");
  }
  if (*response_.allow != '\0') {
    head_.append("Allow: ");
    head_.append(response_.allow);
    head_.append("\r\n");
  }
  if (response_.acceptPost) {
    head_.append("Accept-Post: application/json\r\n");
  }
  if (!keepAlive) {
    head_.append("Connection: close\r\n");
  } else if (parser_.Request().versionMinor == 0) {
    head_.append("Connection: keep-alive\r\n");
  }
  head_.append("\r\n");
}

void HttpConnection::NextRequest() {
  parser_.Reset();
  headerSeen_ = false;
  writeBody_ = true;
  response_.Reset();
  // Keep the buffers of ordinary requests; give back what one large request needed.
  if (response_.body.capacity() > kKeptResponseBytes) {
    std::string().swap(response_.body);
  }
  if (parser_.Request().body.capacity() > kKeptBodyBytes) {
    std::string().swap(parser_.Request().body);
  }
  if (input_.size() > 2 * kReadSize) {
    std::string kept(Pending());
    input_.swap(kept);
    begin_ = 0;
    end_ = input_.size();
  }
}

}  // namespace rubo::detail

#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace rubo {

// The answer a hook gives instead of the framework's own. Only the first send counts.
// The text goes to the client as it stands (text/plain).
class ServerReply {
 public:
  ServerReply() = default;
  virtual ~ServerReply() = default;
  ServerReply(const ServerReply&) = delete;
  ServerReply& operator=(const ServerReply&) = delete;

  // A status outside 200..599 is answered as 500.
  void SendError(const std::string& text, std::uint16_t status);
  // 500 "Internal Server Error".
  void SendInternalError();

  bool IsSent() const;
  std::uint16_t GetStatus() const;
  std::string GetText() const;

 private:
  mutable std::mutex mutex_;
  bool sent_ = false;
  std::uint16_t status_ = 0;
  std::string text_;
};

}  // namespace rubo

#include "rubo/server_reply.h"

namespace rubo {

void ServerReply::SendError(const std::string& text, std::uint16_t status) {
  std::lock_guard lock(mutex_);
  if (sent_) {
    return;
  }
  sent_ = true;
  status_ = status;
  text_ = text;
}

void ServerReply::SendInternalError() {
  SendError("Internal Server Error", 500);
}

bool ServerReply::IsSent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

std::uint16_t ServerReply::GetStatus() const {
  std::lock_guard lock(mutex_);
  return status_;
}

std::string ServerReply::GetText() const {
  std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace rubo

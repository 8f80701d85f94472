#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "rubo/detail/config.h"
#include "rubo/detail/http_parser.h"
#include "rubo/detail/request_handler.h"

namespace rubo::detail {

// Reason phrase of a status ("Unknown" for one without).
const char* ReasonPhrase(std::uint16_t status) noexcept;

// The HTTP/1.1 protocol of one connection without the I/O: bytes in, responses out, and what
// the transport must do next. Requests are answered one after another in order (pipelined
// ones wait in the input). Everything it buffers is bounded by the Limits: the input by the
// header, chunk-line and trailer limits plus one read, the body by the body limit.
//
// Used by one thread at a time, but for this: while a worker runs the pending update (Update,
// Output, Handler), the transport may go on appending input (Feed, InputBytes), which the worker
// never touches. The transport hands it between its I/O thread and a worker with the ordering
// its queues give.
class HttpConnection {
 public:
  enum class Action : std::uint8_t {
    kRead,    // more input is needed: ReadArea, then Received
    kWrite,   // write Head() and Body(), then call Written
    kUpdate,  // run Handler().RunUpdate(Update(), Output()) on a worker, then UpdateDone
    kClose,   // close the connection
  };
  // What part of a request the connection waits for, for the timeouts.
  enum class InputPhase : std::uint8_t { kIdle, kHeader, kBody, kOther };

  static constexpr std::size_t kReadSize = 8 * 1024;

  HttpConnection(const Limits& limits, RequestHandler& handler, const std::atomic<bool>& stopping);

  // Space for the next read (kReadSize bytes at least), and how much of it was filled.
  char* ReadArea();
  std::size_t ReadAreaSize() const noexcept { return input_.size() - end_; }
  void Received(std::size_t bytes);

  // Runs the protocol over the input received so far.
  Action Process();
  // The response (or interim response) was written.
  Action Written();
  // The pending update ran (on a worker).
  Action UpdateDone();

  std::string_view Head() const noexcept { return head_; }
  std::string_view Body() const noexcept { return writeBody_ ? std::string_view(response_.body) : std::string_view{}; }

  PendingUpdate& Update() noexcept { return update_; }
  Response& Output() noexcept { return response_; }
  RequestHandler& Handler() noexcept { return handler_; }

  // Once after a request was refused for its bytes (400, 413, 431...): the status, else 0.
  std::uint16_t TakeRefusal() noexcept { return std::exchange(refusal_, 0); }

  InputPhase GetInputPhase() const noexcept;
  // The request being read (or the next one) is the last: its response ends the connection.
  void EndAfterNextResponse() noexcept { closeAfterWrite_ = true; }
  // Appends bytes read elsewhere (by the transport while a request was busy) to the input.
  void Feed(const char* data, std::size_t size);
  // Input received and not yet consumed (a pipelined request, say).
  std::size_t InputBytes() const noexcept { return end_ - begin_; }

 private:
  std::string_view Pending() const noexcept { return {input_.data() + begin_, end_ - begin_}; }
  Action Respond(bool keepAlive);
  Action Fail(std::uint16_t status, const char* text);
  void BuildHead(bool keepAlive);
  void NextRequest();

  RequestHandler& handler_;
  const std::atomic<bool>& stopping_;
  RequestParser parser_;
  std::string input_;  // [begin_, end_) received, not consumed; the rest is read space
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool headerSeen_ = false;  // the header of the current request was looked at
  bool interim_ = false;     // the write in progress is a 100 Continue
  bool updating_ = false;
  bool closeAfterWrite_ = false;
  bool writeBody_ = true;
  std::uint16_t refusal_ = 0;
  PendingUpdate update_;
  Response response_;
  std::string head_;
};

}  // namespace rubo::detail

#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ara/log/logging.h"

namespace ara::log {

// Keeps every record in memory so tests can look at what was logged.
class CaptureSink : public Sink {
 public:
  using Predicate = std::function<bool(const Record&)>;

  void Write(const Record& record) override;

  std::vector<Record> Records() const;
  // Texts of the records of one context, in order.
  std::vector<std::string> Texts(std::string_view contextId) const;
  bool Contains(std::string_view contextId, LogLevel level, std::string_view text) const;
  std::size_t Count(const Predicate& predicate) const;
  void Clear();

  // Waits until a record matching the predicate has been written (also one written before
  // the call); false when the timeout passes first.
  bool WaitFor(const Predicate& predicate, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Record> records_;
};

// Installs a CaptureSink for the lifetime of the object.
class ScopedCapture {
 public:
  ScopedCapture();
  ~ScopedCapture();
  ScopedCapture(const ScopedCapture&) = delete;
  ScopedCapture& operator=(const ScopedCapture&) = delete;

  CaptureSink& operator*() const { return *sink_; }
  CaptureSink* operator->() const { return sink_.get(); }

 private:
  std::shared_ptr<CaptureSink> sink_;
};

}  // namespace ara::log

#include "seam/call_recorder.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace platform::seam {
namespace {

std::uint64_t ParseNumber(const std::string& text, const std::string& entry) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
      text.size() > 19) {
    throw std::invalid_argument("\"" + entry + "\": argument \"" + text + "\" is not a number");
  }
  return std::stoull(text);
}

}  // namespace

// ---- FailureInjector ----

void FailureInjector::Add(const std::string& operation, std::optional<std::vector<std::uint64_t>> args,
                          std::size_t count, bool standard, const std::string& text) {
  std::lock_guard lock(mutex_);
  std::erase_if(rules_, [&](const Rule& rule) { return rule.operation == operation && rule.args == args; });
  rules_.push_back(Rule{operation, std::move(args), count, standard, text});
}

void FailureInjector::Check(const PlatformCall& call) {
  std::unique_lock lock(mutex_);
  const auto it = std::find_if(rules_.begin(), rules_.end(), [&](const Rule& rule) {
    return rule.remaining > 0 && rule.operation == call.operation && (!rule.args || *rule.args == call.args);
  });
  if (it == rules_.end()) {
    return;
  }
  --it->remaining;
  const bool standard = it->standard;
  const std::string text = it->text;
  lock.unlock();
  if (standard) {
    throw std::runtime_error(text);
  }
  throw NonStandardError{};
}

void ParseFailureRules(const std::string& rules, FailureInjector& injector) {
  std::size_t start = 0;
  while (start <= rules.size()) {
    const std::size_t end = std::min(rules.find(';', start), rules.size());
    const std::string entry = rules.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) {
      continue;
    }
    const std::size_t equals = entry.find('=');
    if (equals == std::string::npos) {
      throw std::invalid_argument("\"" + entry + "\": missing '='");
    }
    std::string operation = entry.substr(0, equals);
    const std::string failure = entry.substr(equals + 1);
    std::optional<std::vector<std::uint64_t>> args;
    if (const std::size_t open = operation.find('('); open != std::string::npos) {
      if (operation.back() != ')') {
        throw std::invalid_argument("\"" + entry + "\": missing ')'");
      }
      const std::string list = operation.substr(open + 1, operation.size() - open - 2);
      operation.resize(open);
      args.emplace();
      std::size_t from = 0;
      while (!list.empty() && from <= list.size()) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        args->push_back(ParseNumber(list.substr(from, comma - from), entry));
        from = comma + 1;
      }
    }
    if (operation.empty()) {
      throw std::invalid_argument("\"" + entry + "\": no operation");
    }
    static constexpr std::string_view kRuntimeError = "runtime_error:";
    if (failure == "other") {
      injector.Add(operation, std::move(args), 1, false, {});
    } else if (failure.starts_with(kRuntimeError)) {
      injector.Add(operation, std::move(args), 1, true, failure.substr(kRuntimeError.size()));
    } else {
      throw std::invalid_argument("\"" + entry + "\": the failure is neither \"runtime_error:<text>\" nor \"other\"");
    }
  }
}

// ---- CallRecorder ----

void CallRecorder::OnCall(const PlatformCall& call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  }
  changed_.notify_all();
  failures_.Check(call);
}

void CallRecorder::FailNext(const std::string& operation, std::size_t count, const std::string& text) {
  failures_.Add(operation, std::nullopt, count, true, text);
}

void CallRecorder::FailNextNonStandard(const std::string& operation, std::size_t count) {
  failures_.Add(operation, std::nullopt, count, false, {});
}

void CallRecorder::FailNext(const std::string& operation, const std::vector<std::uint64_t>& args, std::size_t count,
                            const std::string& text) {
  failures_.Add(operation, args, count, true, text);
}

void CallRecorder::FailNextNonStandard(const std::string& operation, const std::vector<std::uint64_t>& args,
                                       std::size_t count) {
  failures_.Add(operation, args, count, false, {});
}

std::vector<PlatformCall> CallRecorder::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<PlatformCall> CallRecorder::Calls(const std::string& operation) const {
  std::lock_guard lock(mutex_);
  std::vector<PlatformCall> matching;
  for (const auto& call : calls_) {
    if (call.operation == operation) {
      matching.push_back(call);
    }
  }
  return matching;
}

bool CallRecorder::WaitFor(const std::function<bool(const std::vector<PlatformCall>&)>& predicate,
                           std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return predicate(calls_); });
}

ScopedCallRecorder::ScopedCallRecorder() : recorder_(std::make_shared<CallRecorder>()) {
  SetCallHook(recorder_);
}
ScopedCallRecorder::~ScopedCallRecorder() {
  SetCallHook(nullptr);
}

}  // namespace platform::seam

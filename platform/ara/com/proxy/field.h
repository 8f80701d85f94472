#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ara/com/exceptions.h"
#include "ara/com/internal/runtime_core.h"
#include "ara/com/internal/trace.h"
#include "ara/com/proxy/proxy.h"
#include "ara/com/transport/message.h"
#include "ara/com/types.h"

namespace ara::com::internal::proxy {

// A field descriptor names the field (kName), its value type (value_type), its codec
// (Codec::Encode / Codec::Decode, the latter throwing on malformed bytes), its notifier
// (Notify::kEventIndex), its read (Get::kMethodIndex) and, for writable fields, its write
// (Set::kMethodIndex). Get and Set carry GetApplicationErrorExceptionPtr.
template <typename D>
concept WritableField = requires {
  D::Set::kMethodIndex;
};

// One field member's side of its notifier: subscription, receive handler and sample cache.
template <typename T>
class SampleReceiver : public std::enable_shared_from_this<SampleReceiver<T>> {
 public:
  SampleReceiver(std::shared_ptr<Strand> strand, std::string_view fieldName)
      : strand_(std::move(strand)), fieldName_(fieldName) {}

  Strand& GetStrand() const noexcept { return *strand_; }

  // Returns true when the receiver was not subscribed before.
  bool Configure(EventCacheUpdatePolicy policy, std::size_t cacheSize) {
    std::lock_guard lock(mutex_);
    const bool first = !subscribed_;
    subscribed_ = true;
    policy_ = policy;
    cacheSize_ = cacheSize;
    received_.clear();
    cache_.clear();
    return first;
  }

  // Returns true when the receiver was subscribed.
  bool Stop() {
    std::lock_guard lock(mutex_);
    const bool was = subscribed_;
    subscribed_ = false;
    received_.clear();
    return was;
  }

  void SetHandler(std::function<void()> handler) {
    auto shared = handler ? std::make_shared<const std::function<void()>>(std::move(handler)) : nullptr;
    std::lock_guard lock(mutex_);
    handler_ = std::move(shared);
  }

  void Push(const SamplePtr<T>& sample) {
    bool post = false;
    {
      std::lock_guard lock(mutex_);
      if (!subscribed_) {
        return;
      }
      received_.push_back(sample);
      while (received_.size() > cacheSize_) {
        received_.pop_front();
      }
      if (handler_ && !handlerQueued_) {
        handlerQueued_ = true;
        post = true;
      }
    }
    if (post) {
      strand_->Post([weak = this->weak_from_this()] {
        if (auto self = weak.lock()) {
          self->RunHandler();
        }
      });
    }
  }

  bool Update(const FilterFunction<T>& filter) {
    std::lock_guard updating(updateMutex_);
    std::deque<SamplePtr<T>> fresh;
    {
      std::lock_guard lock(mutex_);
      fresh.swap(received_);
    }
    if (filter) {
      std::erase_if(fresh, [&](const SamplePtr<T>& sample) { return !filter(*sample); });
    }
    std::lock_guard lock(mutex_);
    if (policy_ == EventCacheUpdatePolicy::kLastN) {
      cache_.clear();
    }
    cache_.insert(cache_.end(), fresh.begin(), fresh.end());
    if (cache_.size() > cacheSize_) {
      cache_.erase(cache_.begin(), cache_.end() - static_cast<std::ptrdiff_t>(cacheSize_));
    }
    return !fresh.empty();
  }

  std::vector<SamplePtr<T>> Cached() const {
    std::lock_guard lock(mutex_);
    return cache_;
  }

  void Cleanup() {
    std::lock_guard lock(mutex_);
    cache_.clear();
  }

 private:
  void RunHandler() {
    std::shared_ptr<const std::function<void()>> handler;
    {
      std::lock_guard lock(mutex_);
      handlerQueued_ = false;
      handler = handler_;
    }
    if (!handler) {
      return;
    }
    try {
      (*handler)();
    } catch (const std::exception& e) {
      TraceReceiveHandlerException(fieldName_, &e);
    } catch (...) {
      TraceReceiveHandlerException(fieldName_, nullptr);
    }
  }

  const std::shared_ptr<Strand> strand_;
  const std::string fieldName_;
  std::mutex updateMutex_;
  mutable std::mutex mutex_;
  bool subscribed_ = false;
  EventCacheUpdatePolicy policy_ = EventCacheUpdatePolicy::kNewestN;
  std::size_t cacheSize_ = 0;
  std::deque<SamplePtr<T>> received_;
  std::vector<SamplePtr<T>> cache_;
  std::shared_ptr<const std::function<void()>> handler_;
  bool handlerQueued_ = false;
};

// The notifier event of one field and one service instance, shared by every proxy of that
// instance in the process. It decodes each notification once and hands the sample to every
// subscribed field member.
template <typename D>
class SharedEvent : public std::enable_shared_from_this<SharedEvent<D>> {
 public:
  using T = typename D::value_type;

  static std::shared_ptr<SharedEvent> Acquire(const InstanceIdentifier& instance, const ProxyPort& port) {
    static std::mutex tableMutex;
    static std::map<std::string, std::weak_ptr<SharedEvent>, std::less<>> table;
    std::lock_guard lock(tableMutex);
    auto& entry = table[std::string(instance.ToString())];
    auto event = entry.lock();
    if (!event || event->core_ != port.Core() || event->serviceId_ != port.Instance().serviceId) {
      event = std::shared_ptr<SharedEvent>(new SharedEvent(port));
      event->Register();
      entry = event;
    }
    return event;
  }

  ~SharedEvent() { core_->RemoveRoute(route_); }
  SharedEvent(const SharedEvent&) = delete;
  SharedEvent& operator=(const SharedEvent&) = delete;

  void Attach(std::shared_ptr<SampleReceiver<T>> receiver) {
    bool first = false;
    {
      std::lock_guard lock(mutex_);
      first = receivers_.empty();
      receivers_.push_back(std::move(receiver));
    }
    if (first) {
      core_->Subscribe(serviceId_, instanceId_, eventgroupId_);
    }
  }

  void Detach(const SampleReceiver<T>* receiver) {
    bool last = false;
    {
      std::lock_guard lock(mutex_);
      const auto before = receivers_.size();
      std::erase_if(receivers_, [&](const auto& r) { return r.get() == receiver; });
      last = before != receivers_.size() && receivers_.empty();
    }
    if (last) {
      core_->Unsubscribe(serviceId_, instanceId_, eventgroupId_);
    }
  }

 private:
  explicit SharedEvent(const ProxyPort& port)
      : core_(port.Core()),
        serviceId_(port.Instance().serviceId),
        instanceId_(port.Instance().instanceId),
        eventId_(port.Deployment().Event(D::Notify::kEventIndex).eventId),
        eventgroupId_(port.Deployment().Event(D::Notify::kEventIndex).eventgroupId) {}

  void Register() {
    route_ = core_->AddRoute(serviceId_, instanceId_, eventId_,
                             [weak = this->weak_from_this()](const std::vector<std::uint8_t>& payload) {
                               if (auto self = weak.lock()) {
                                 self->Deliver(payload);
                               }
                             });
  }

  void Deliver(const std::vector<std::uint8_t>& payload) {
    std::vector<std::shared_ptr<SampleReceiver<T>>> receivers;
    {
      std::lock_guard lock(mutex_);
      receivers = receivers_;
    }
    if (receivers.empty()) {
      return;
    }
    SamplePtr<T> sample;
    try {
      sample = std::make_shared<const T>(D::Codec::Decode(payload));
    } catch (const std::exception& e) {
      TraceEventDecodeFailure(e);
      return;
    }
    for (const auto& receiver : receivers) {
      receiver->Push(sample);
    }
  }

  std::shared_ptr<RuntimeCore> core_;
  std::uint16_t serviceId_;
  std::uint16_t instanceId_;
  std::uint16_t eventId_;
  std::uint16_t eventgroupId_;
  std::uint64_t route_ = 0;
  std::mutex mutex_;
  std::vector<std::shared_ptr<SampleReceiver<T>>> receivers_;
};

// Completes a call's promise from its reply.
template <typename T, typename Method, typename Codec>
RuntimeCore::ReplyCallback MakeReplyHandler(std::shared_ptr<std::promise<CallOutcome<T>>> promise) {
  return [promise = std::move(promise)](const transport::Message* reply) {
    CallOutcome<T> outcome;
    if (reply == nullptr) {
      outcome.error = CallError::kServiceNotAvailable;
    } else if (reply->returnCode == transport::kReturnOk && reply->type == transport::MessageType::kResponse) {
      try {
        outcome.value.emplace(Codec::Decode(reply->payload));
      } catch (const std::exception& e) {
        TraceReplyDecodeFailure(e);
        outcome.error = CallError::kTransport;
      }
    } else if (auto error = Method::GetApplicationErrorExceptionPtr(reply->returnCode, reply->payload)) {
      outcome.error = CallError::kApplication;
      outcome.applicationError = std::move(error);
    } else if (reply->returnCode == transport::kReturnServiceNotAvailable) {
      outcome.error = CallError::kServiceNotAvailable;
    } else {
      outcome.error = CallError::kTransport;
    }
    promise->set_value(std::move(outcome));
  };
}

// A field member of a generated proxy: read, write (writable fields only) and notifier.
template <typename D>
class Field {
 public:
  using FieldType = typename D::value_type;

  Field(const InstanceIdentifier& instance, ProxyPort& port)
      : port_(port),
        event_(SharedEvent<D>::Acquire(instance, port)),
        receiver_(std::make_shared<SampleReceiver<FieldType>>(port.Core()->MakeStrand(), D::kName)) {}

  // Unsubscribes, waits for a queued or running receive handler of this field (unless it is the
  // caller), then releases the event share and the cache.
  virtual ~Field() {
    Unsubscribe();
    receiver_->GetStrand().Drain();
  }
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  Future<FieldType> Get() { return Call<typename D::Get>({}); }

  Future<FieldType> Set(const FieldType& value) requires WritableField<D> {
    return Call<typename D::Set>(D::Codec::Encode(value));
  }

  // Throws std::invalid_argument for a policy the binding does not know or a cache of 0 samples.
  void Subscribe(EventCacheUpdatePolicy policy, std::size_t cacheSize) {
    if (policy != EventCacheUpdatePolicy::kLastN && policy != EventCacheUpdatePolicy::kNewestN) {
      throw std::invalid_argument("Unknown cache update policy");
    }
    if (cacheSize == 0) {
      throw std::invalid_argument("Sample cache size must be at least 1");
    }
    if (receiver_->Configure(policy, cacheSize)) {
      event_->Attach(receiver_);
    }
  }

  void Unsubscribe() {
    if (receiver_->Stop()) {
      event_->Detach(receiver_.get());
    }
  }

  // The handler runs on this field's serial queue whenever new samples have arrived.
  void SetReceiveHandler(std::function<void()> handler) { receiver_->SetHandler(std::move(handler)); }

  // Moves received samples into the cache; true when any was taken.
  bool Update(FilterFunction<FieldType> filter = {}) { return receiver_->Update(filter); }

  std::vector<SamplePtr<FieldType>> GetCachedSamples() const { return receiver_->Cached(); }

  void Cleanup() { receiver_->Cleanup(); }

 private:
  template <typename Method>
  Future<FieldType> Call(std::vector<std::uint8_t> payload) {
    auto promise = std::make_shared<std::promise<CallOutcome<FieldType>>>();
    Future<FieldType> future(promise->get_future());
    TraceCall(D::kName, Method::kMethodIndex, port_.Instance());
    port_.Call(Method::kMethodIndex, std::move(payload),
               MakeReplyHandler<FieldType, Method, typename D::Codec>(std::move(promise)));
    return future;
  }

  ProxyPort& port_;
  std::shared_ptr<SharedEvent<D>> event_;
  std::shared_ptr<SampleReceiver<FieldType>> receiver_;
};

}  // namespace ara::com::internal::proxy

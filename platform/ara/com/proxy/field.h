#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
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

// A decoded notification sample; only the field member that reads it knows its type. Keeping
// the notifier machinery below free of the sample type means it is compiled once, in field.cpp,
// rather than once per field in every unit that uses a proxy.
using ErasedSample = std::shared_ptr<const void>;

// One field member's side of its notifier: subscription, receive handler and sample cache.
class SampleReceiver : public std::enable_shared_from_this<SampleReceiver> {
 public:
  SampleReceiver(std::shared_ptr<Strand> strand, std::string_view fieldName);

  Strand& GetStrand() const noexcept { return *strand_; }

  // Returns true when the receiver was not subscribed before.
  bool Configure(EventCacheUpdatePolicy policy, std::size_t cacheSize);
  // Returns true when the receiver was subscribed.
  bool Stop();
  void SetHandler(std::function<void()> handler);
  void Push(const ErasedSample& sample);
  // Moves received samples into the cache, those `keep` accepts when it is set; true when any
  // was taken.
  bool Update(const std::function<bool(const void* sample)>& keep);
  std::vector<ErasedSample> Cached() const;
  void Cleanup();

 private:
  void RunHandler();

  const std::shared_ptr<Strand> strand_;
  const std::string fieldName_;
  std::mutex updateMutex_;
  mutable std::mutex mutex_;
  bool subscribed_ = false;
  EventCacheUpdatePolicy policy_ = EventCacheUpdatePolicy::kNewestN;
  std::size_t cacheSize_ = 0;
  std::deque<ErasedSample> received_;
  std::vector<ErasedSample> cache_;
  std::shared_ptr<const std::function<void()>> handler_;
  bool handlerQueued_ = false;
};

// The notifier event of one field and one service instance, shared by every proxy of that
// instance in the process. It decodes each notification once and hands the sample to every
// subscribed field member.
class SharedEvent : public std::enable_shared_from_this<SharedEvent> {
 public:
  // Throws on malformed bytes.
  using Decoder = ErasedSample (*)(const std::vector<std::uint8_t>& payload);

  // `field` is an address unique to the field (its descriptor's name), which keeps the events
  // of two fields on one instance apart.
  static std::shared_ptr<SharedEvent> Acquire(const void* field, std::uint16_t eventIndex, Decoder decode,
                                              const InstanceIdentifier& instance, const ProxyPort& port);

  ~SharedEvent();
  SharedEvent(const SharedEvent&) = delete;
  SharedEvent& operator=(const SharedEvent&) = delete;

  void Attach(std::shared_ptr<SampleReceiver> receiver);
  void Detach(const SampleReceiver* receiver);

 private:
  SharedEvent(const ProxyPort& port, std::uint16_t eventIndex, Decoder decode);

  void Register();
  void Deliver(const std::vector<std::uint8_t>& payload);

  std::shared_ptr<RuntimeCore> core_;
  std::uint16_t serviceId_;
  std::uint16_t instanceId_;
  std::uint16_t eventId_;
  std::uint16_t eventgroupId_;
  Decoder decode_;
  std::uint64_t route_ = 0;
  std::mutex mutex_;
  std::vector<std::shared_ptr<SampleReceiver>> receivers_;
};

template <typename D>
ErasedSample DecodeSample(const std::vector<std::uint8_t>& payload) {
  return std::make_shared<const typename D::value_type>(D::Codec::Decode(payload));
}

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
        event_(SharedEvent::Acquire(&D::kName, D::Notify::kEventIndex, &DecodeSample<D>, instance, port)),
        receiver_(std::make_shared<SampleReceiver>(port.Core()->MakeStrand(), D::kName)) {}

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
  bool Update(FilterFunction<FieldType> filter = {}) {
    if (!filter) {
      return receiver_->Update(nullptr);
    }
    return receiver_->Update([&filter](const void* sample) { return filter(*static_cast<const FieldType*>(sample)); });
  }

  std::vector<SamplePtr<FieldType>> GetCachedSamples() const {
    std::vector<ErasedSample> cached = receiver_->Cached();
    std::vector<SamplePtr<FieldType>> samples;
    samples.reserve(cached.size());
    for (auto& sample : cached) {
      samples.push_back(std::static_pointer_cast<const FieldType>(std::move(sample)));
    }
    return samples;
  }

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
  std::shared_ptr<SharedEvent> event_;
  std::shared_ptr<SampleReceiver> receiver_;
};

}  // namespace ara::com::internal::proxy

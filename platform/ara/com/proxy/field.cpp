#include "ara/com/proxy/field.h"

#include <iterator>
#include <map>
#include <utility>

namespace ara::com::internal::proxy {

SampleReceiver::SampleReceiver(std::shared_ptr<Strand> strand, std::string_view fieldName)
    : strand_(std::move(strand)), fieldName_(fieldName) {}

bool SampleReceiver::Configure(EventCacheUpdatePolicy policy, std::size_t cacheSize) {
  std::lock_guard lock(mutex_);
  const bool first = !subscribed_;
  subscribed_ = true;
  policy_ = policy;
  cacheSize_ = cacheSize;
  received_.clear();
  cache_.clear();
  return first;
}

bool SampleReceiver::Stop() {
  std::lock_guard lock(mutex_);
  const bool was = subscribed_;
  subscribed_ = false;
  received_.clear();
  return was;
}

void SampleReceiver::SetHandler(std::function<void()> handler) {
  auto shared = handler ? std::make_shared<const std::function<void()>>(std::move(handler)) : nullptr;
  std::lock_guard lock(mutex_);
  handler_ = std::move(shared);
}

void SampleReceiver::Push(const ErasedSample& sample) {
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
    strand_->Post([weak = weak_from_this()] {
      if (auto self = weak.lock()) {
        self->RunHandler();
      }
    });
  }
}

bool SampleReceiver::Update(const std::function<bool(const void* sample)>& keep) {
  std::lock_guard updating(updateMutex_);
  std::deque<ErasedSample> fresh;
  {
    std::lock_guard lock(mutex_);
    fresh.swap(received_);
  }
  if (keep) {
    std::erase_if(fresh, [&](const ErasedSample& sample) { return !keep(sample.get()); });
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

std::vector<ErasedSample> SampleReceiver::Cached() const {
  std::lock_guard lock(mutex_);
  return cache_;
}

void SampleReceiver::Cleanup() {
  std::lock_guard lock(mutex_);
  cache_.clear();
}

void SampleReceiver::RunHandler() {
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

std::shared_ptr<SharedEvent> SharedEvent::Acquire(const void* field, std::uint16_t eventIndex, Decoder decode,
                                                  const InstanceIdentifier& instance, const ProxyPort& port) {
  static std::mutex tableMutex;
  static std::map<std::pair<const void*, std::string>, std::weak_ptr<SharedEvent>> table;
  std::lock_guard lock(tableMutex);
  auto& entry = table[{field, std::string(instance.ToString())}];
  auto event = entry.lock();
  if (!event || event->core_ != port.Core() || event->serviceId_ != port.Instance().serviceId) {
    event = std::shared_ptr<SharedEvent>(new SharedEvent(port, eventIndex, decode));
    event->Register();
    entry = event;
  }
  return event;
}

SharedEvent::SharedEvent(const ProxyPort& port, std::uint16_t eventIndex, Decoder decode)
    : core_(port.Core()),
      serviceId_(port.Instance().serviceId),
      instanceId_(port.Instance().instanceId),
      eventId_(port.Deployment().Event(eventIndex).eventId),
      eventgroupId_(port.Deployment().Event(eventIndex).eventgroupId),
      decode_(decode) {}

SharedEvent::~SharedEvent() {
  core_->RemoveRoute(route_);
}

void SharedEvent::Attach(std::shared_ptr<SampleReceiver> receiver) {
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

void SharedEvent::Detach(const SampleReceiver* receiver) {
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

void SharedEvent::Register() {
  route_ = core_->AddRoute(serviceId_, instanceId_, eventId_,
                           [weak = weak_from_this()](const std::vector<std::uint8_t>& payload) {
                             if (auto self = weak.lock()) {
                               self->Deliver(payload);
                             }
                           });
}

void SharedEvent::Deliver(const std::vector<std::uint8_t>& payload) {
  std::vector<std::shared_ptr<SampleReceiver>> receivers;
  {
    std::lock_guard lock(mutex_);
    receivers = receivers_;
  }
  if (receivers.empty()) {
    return;
  }
  ErasedSample sample;
  try {
    sample = decode_(payload);
  } catch (const std::exception& e) {
    TraceEventDecodeFailure(e);
    return;
  }
  for (const auto& receiver : receivers) {
    receiver->Push(sample);
  }
}

}  // namespace ara::com::internal::proxy

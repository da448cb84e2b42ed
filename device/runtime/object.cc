#include "device/runtime/object.h"

#include <limits>
#include <vector>

namespace vorla::device {
namespace {

std::atomic<long> liveObjects{0};
constexpr long kImmortal = std::numeric_limits<long>::max() / 2;

struct PoolStack {
  std::vector<std::vector<id>> frames;
  std::vector<id> orphans;  // autoreleased with no pool in place

  ~PoolStack() {
    while (!frames.empty()) popAutoreleasePool();
    for (id object : orphans) releaseObject(object);
  }
};

PoolStack& pools() {
  thread_local PoolStack stack;
  return stack;
}

Object* header(id object) { return reinterpret_cast<Object*>(object); }

}  // namespace

id createObject(Class cls, std::unique_ptr<Body> body) {
  auto* object = new Object{cls};
  object->body = body.release();
  liveObjects.fetch_add(1, std::memory_order_relaxed);
  return reinterpret_cast<id>(object);
}

Body* attachBody(id object, std::unique_ptr<Body> body) {
  Object* o = header(object);
  if (o->body == nullptr) o->body = body.release();
  return o->body;
}

id retainObject(id object) {
  if (object != nil) header(object)->extraReferences.fetch_add(1, std::memory_order_relaxed);
  return object;
}

void releaseObject(id object) {
  if (object == nil) return;
  Object* o = header(object);
  long before = o->extraReferences.fetch_sub(1, std::memory_order_acq_rel);
  if (before > 0) return;
  delete o->body;
  delete o;
  liveObjects.fetch_sub(1, std::memory_order_relaxed);
}

void makeImmortal(id object) {
  if (object != nil) header(object)->extraReferences.store(kImmortal, std::memory_order_relaxed);
}

id autoreleaseObject(id object) {
  if (object == nil) return nil;
  PoolStack& stack = pools();
  (stack.frames.empty() ? stack.orphans : stack.frames.back()).push_back(object);
  return object;
}

void pushAutoreleasePool() { pools().frames.emplace_back(); }

void popAutoreleasePool() {
  PoolStack& stack = pools();
  if (stack.frames.empty()) return;
  // Releasing may autorelease into this same frame (a dealloc that autoreleases), so drain
  // until the frame is empty before removing it.
  while (!stack.frames.back().empty()) {
    std::vector<id> batch;
    batch.swap(stack.frames.back());
    for (id object : batch) releaseObject(object);
  }
  stack.frames.pop_back();
}

long liveObjectCount() { return liveObjects.load(std::memory_order_relaxed); }

}  // namespace vorla::device

long vorla_device_live_objects() { return vorla::device::liveObjectCount(); }

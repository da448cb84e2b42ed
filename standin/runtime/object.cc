#include "standin/runtime/object.h"

#include <deque>
#include <limits>
#include <vector>

namespace vorla::standin {
namespace {

std::atomic<long> liveObjects{0};
constexpr long kImmortal = std::numeric_limits<long>::max() / 2;

// Releases everything in `objects`, and whatever those releases autorelease into it in turn.
template <class Objects>
void drain(Objects& objects) {
  while (!objects.empty()) {
    Objects batch;
    batch.swap(objects);
    for (id object : batch) releaseObject(object);
  }
}

class PoolStack {
 public:
  ~PoolStack() {
    while (!frames_.empty()) pop();
    drain(orphans_);
  }

  void push() { frames_.emplace_back(); }

  void pop() {
    if (frames_.empty()) return;
    // A release may autorelease into this same frame (a dealloc that autoreleases), so the
    // frame is removed only once it stays empty.
    drain(frames_.back());
    frames_.pop_back();
  }

  void add(id object) {
    if (!frames_.empty()) {
      frames_.back().push_back(object);
      return;
    }
    orphans_.push_back(object);
    if (orphans_.size() > kPoolLessAutoreleaseLimit) {
      id oldest = orphans_.front();
      orphans_.pop_front();  // before the release, which may autorelease more
      releaseObject(oldest);
    }
  }

 private:
  // A deque, so that a release that pushes and pops a pool of its own leaves the frame being
  // drained where it was.
  std::deque<std::vector<id>> frames_;
  std::deque<id> orphans_;  // autoreleased with no pool in place, oldest first
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
  if (object != nil) pools().add(object);
  return object;
}

void pushAutoreleasePool() { pools().push(); }
void popAutoreleasePool() { pools().pop(); }

long liveObjectCount() { return liveObjects.load(std::memory_order_relaxed); }

}  // namespace vorla::standin

long vorla_device_live_objects() { return vorla::standin::liveObjectCount(); }

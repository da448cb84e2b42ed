#include "hosts/model.h"

#include <map>
#include <mutex>
#include <tuple>

#include "standin/runtime/object.h"

namespace vorla::hosts {
namespace {

using Records = std::map<std::string, MethodRecord, std::less<>>;

// An instance keeps its records in its own body, so they end with it.
struct ModelBody : standin::Body {
  std::mutex mutex;
  Records records;
};

struct Registry {
  std::mutex mutex;
  // Class receivers, and instances whose body is not a model's.
  std::map<id, Records> classRecords;
  std::map<std::tuple<std::string, bool, std::string>, Value> answers;
};

Registry& registry() {
  static auto* shared = new Registry;  // never destroyed: host threads may call at exit
  return *shared;
}

bool isClassObject(id receiver) { return class_isMetaClass(object_getClass(receiver)); }

template <class F>
auto withRecords(id receiver, F&& f) {
  if (!isClassObject(receiver)) {
    auto* body =
        dynamic_cast<ModelBody*>(standin::attachBody(receiver, std::make_unique<ModelBody>()));
    if (body != nullptr) {
      std::lock_guard lock(body->mutex);
      return f(body->records);
    }
  }
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return f(r.classRecords[receiver]);
}

}  // namespace

MethodRecord recordOf(id receiver, std::string_view selector) {
  if (receiver == nil) return {};
  return withRecords(receiver, [&](Records& records) {
    auto it = records.find(selector);
    return it == records.end() ? MethodRecord{} : it->second;
  });
}

std::vector<std::pair<std::string, MethodRecord>> recordsOf(id receiver) {
  if (receiver == nil) return {};
  return withRecords(receiver, [](Records& records) {
    return std::vector<std::pair<std::string, MethodRecord>>(records.begin(), records.end());
  });
}

Value lastArgument(id receiver, std::string_view selector) {
  MethodRecord record = recordOf(receiver, selector);
  return record.lastArguments.empty() ? Value{} : record.lastArguments.front();
}

void setAnswer(const char* className, const char* selector, Value answer) {
  detail::setDefaultAnswer(className, false, selector, std::move(answer));
}

void setClassAnswer(const char* className, const char* selector, Value answer) {
  detail::setDefaultAnswer(className, true, selector, std::move(answer));
}

namespace detail {

void record(id receiver, SEL selector, std::vector<Value> arguments) {
  withRecords(receiver, [&](Records& records) {
    MethodRecord& record = records[sel_getName(selector)];
    ++record.calls;
    record.lastArguments = std::move(arguments);
    return 0;
  });
}

Value answerFor(id receiver, SEL selector) {
  bool classMethod = isClassObject(receiver);
  Class start = classMethod ? reinterpret_cast<Class>(receiver) : object_getClass(receiver);
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (Class c = start; c != Nil; c = class_getSuperclass(c)) {
    auto it = r.answers.find({class_getName(c), classMethod, sel_getName(selector)});
    if (it != r.answers.end()) return it->second;
  }
  return {};
}

void setDefaultAnswer(const char* className, bool classMethod, const char* selector, Value answer) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.answers[{className, classMethod, selector}] = std::move(answer);
}

}  // namespace detail
}  // namespace vorla::hosts

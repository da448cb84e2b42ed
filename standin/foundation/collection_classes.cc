// NSDictionary, NSArray, NSData and NSDate: immutable containers for property-list values, and
// reading a dictionary from a property-list file.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <span>
#include <string>

#include "standin/foundation/device_paths.h"
#include "standin/foundation/property_list_files.h"
#include "standin/foundation/registration.h"
#include "standin/foundation/value_bodies.h"
#include "standin/foundation/values.h"
#include "standin/plist/plist_reader.h"
#include "standin/runtime/class_builder.h"

namespace vorla::standin {
namespace {

Class dictionaryClass;
Class arrayClass;
Class dataClass;
Class dateClass;

// The last dictionary read from each file, kept with the bytes it came from. A file is still
// read at every call; only the parse is reused, and only while the bytes are identical.
class FileCache {
 public:
  id dictionaryFor(const std::string& path) {
    thread_local std::vector<std::uint8_t> buffer;
    auto size = plist::readFileInto(path.c_str(), buffer);
    if (!size) return nil;
    std::span<const std::uint8_t> bytes(buffer.data(), *size);
    std::lock_guard lock(mutex_);
    Entry& entry = entries_[path];
    if (entry.dictionary == nil || !std::ranges::equal(entry.bytes, bytes)) {
      parses_.fetch_add(1, std::memory_order_relaxed);
      auto value = plist::parse(bytes);
      if (!value || !value->is<plist::Dictionary>()) return nil;
      releaseObject(entry.dictionary);
      entry.dictionary = newObjectFromPlist(*value);
      entry.bytes.assign(bytes.begin(), bytes.end());
    }
    return retainObject(entry.dictionary);
  }

  long parses() const { return parses_.load(std::memory_order_relaxed); }

 private:
  struct Entry {
    std::vector<std::uint8_t> bytes;
    id dictionary = nil;
  };
  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
  std::atomic<long> parses_{0};
};

FileCache& fileCache() {
  static auto* cache = new FileCache;  // never destroyed: other threads may read at exit
  return *cache;
}

id dictionaryWithContentsOfFile(id, SEL, id path) {
  auto text = stringOf(path);
  if (!text) return nil;
  return autoreleaseObject(readDictionaryFile(devicePath(*text)));
}

id objectForKey(id dictionary, SEL, id key) {
  auto wanted = stringOf(key);
  if (!wanted) return nil;
  const DictionaryBody* body = bodyOf<DictionaryBody>(dictionary);
  auto found = body->index.find(*wanted);
  return found == body->index.end() ? nil : body->entries[found->second].second;
}

unsigned long dictionaryCount(id dictionary, SEL) {
  return bodyOf<DictionaryBody>(dictionary)->entries.size();
}

unsigned long arrayCount(id array, SEL) { return bodyOf<ArrayBody>(array)->elements.size(); }

id objectAtIndex(id array, SEL, unsigned long index) {
  const auto& elements = bodyOf<ArrayBody>(array)->elements;
  return index < elements.size() ? elements[index] : nil;
}

unsigned long dataLength(id data, SEL) { return bodyOf<DataBody>(data)->bytes.size(); }

double timeIntervalSinceReferenceDate(id date, SEL) {
  return bodyOf<DateBody>(date)->secondsSince2001;
}

// A date made with `new`, or `alloc` and `init`, is the current time, as on the platform.
id allocDate(id cls, SEL) {
  constexpr double kReferenceDateSince1970 = 978307200;  // 2001-01-01 00:00:00 UTC
  auto body = std::make_unique<DateBody>();
  body->secondsSince2001 =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() -
      kReferenceDateSince1970;
  return createObject(reinterpret_cast<Class>(cls), std::move(body));
}

}  // namespace

id readDictionaryFile(const std::string& path) { return fileCache().dictionaryFor(path); }

ArrayBody::~ArrayBody() {
  for (id element : elements) releaseObject(element);
}

DictionaryBody::~DictionaryBody() {
  for (auto& [key, value] : entries) {
    releaseObject(key);
    releaseObject(value);
  }
}

id newObjectFromPlist(const plist::Value& value) {
  if (auto* text = value.get_if<std::string>()) return newString(*text);
  if (auto* integer = value.get_if<plist::Integer>()) return newNumberWithInteger(*integer);
  if (auto* real = value.get_if<double>()) return newNumberWithDouble(*real);
  if (auto* boolean = value.get_if<bool>()) return newNumberWithBool(*boolean);
  if (auto* date = value.get_if<plist::Date>()) {
    auto body = std::make_unique<DateBody>();
    body->secondsSince2001 = date->secondsSince2001;
    return createObject(dateClass, std::move(body));
  }
  if (auto* data = value.get_if<plist::Data>()) {
    auto body = std::make_unique<DataBody>();
    body->bytes.assign(data->begin(), data->end());
    return createObject(dataClass, std::move(body));
  }
  if (auto* array = value.get_if<plist::Array>()) {
    auto body = std::make_unique<ArrayBody>();
    body->elements.reserve(array->size());
    for (const plist::Value& element : *array)
      body->elements.push_back(newObjectFromPlist(element));
    return createObject(arrayClass, std::move(body));
  }
  auto body = std::make_unique<DictionaryBody>();
  if (auto* dictionary = value.get_if<plist::Dictionary>()) {
    body->entries.reserve(dictionary->size());
    for (const auto& [key, element] : *dictionary) {
      id keyString = newString(key);
      body->index.emplace(*stringOf(keyString), body->entries.size());
      body->entries.emplace_back(keyString, newObjectFromPlist(element));
    }
  }
  return createObject(dictionaryClass, std::move(body));
}

void registerCollectionClasses() {
  dictionaryClass = ClassBuilder("NSDictionary", "NSObject")
                        .classMethod("alloc", allocWithEmptyBody<DictionaryBody>)
                        .classMethod("dictionaryWithContentsOfFile:", dictionaryWithContentsOfFile)
                        .instanceMethod("objectForKey:", objectForKey)
                        .instanceMethod("count", dictionaryCount)
                        .build();
  arrayClass = ClassBuilder("NSArray", "NSObject")
                   .classMethod("alloc", allocWithEmptyBody<ArrayBody>)
                   .instanceMethod("count", arrayCount)
                   .instanceMethod("objectAtIndex:", objectAtIndex)
                   .build();
  dataClass = ClassBuilder("NSData", "NSObject")
                  .classMethod("alloc", allocWithEmptyBody<DataBody>)
                  .instanceMethod("length", dataLength)
                  .build();
  dateClass = ClassBuilder("NSDate", "NSObject")
                  .classMethod("alloc", allocDate)
                  .instanceMethod("timeIntervalSinceReferenceDate", timeIntervalSinceReferenceDate)
                  .build();
}

}  // namespace vorla::standin

long vorla_device_plist_parses() { return vorla::standin::fileCache().parses(); }

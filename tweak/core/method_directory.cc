#include "tweak/core/method_directory.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "tweak/host/methods.h"
#include "tweak/host/runtime.h"

namespace vorla::core {
namespace {

bool before(const Hook& a, MethodKind kind, const char* className) {
  return a.kind != kind ? a.kind < kind : std::strcmp(a.className, className) < 0;
}

bool contains(std::span<const SEL> selectors, SEL selector) {
  return std::any_of(selectors.begin(), selectors.end(),
                     [selector](SEL each) { return host::sameSelector(each, selector); });
}

}  // namespace

MethodDirectory::MethodDirectory(std::vector<const Hook*> rows) {
  rows_.reserve(rows.size());
  for (const Hook* hook : rows) rows_.push_back({hook, nullptr});
  std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
    return before(*a.hook, b.hook->kind, b.hook->className);
  });
}

void MethodDirectory::find(Class target, std::span<const SEL> selectors,
                           std::span<Definition> definitions) {
  std::fill(definitions.begin(), definitions.end(), Definition{});
  // The selectors not found yet, by their place in `selectors`, as the search goes up the chain.
  pending_.resize(selectors.size());
  for (std::size_t i = 0; i < pending_.size(); ++i) pending_[i] = i;
  for (Class current = target; current != Nil && !pending_.empty();
       current = host::superclassOf(current)) {
    asked_.clear();
    for (std::size_t i : pending_) asked_.push_back(selectors[i]);
    found_.assign(asked_.size(), nullptr);
    ownMethods(current, asked_, found_);
    std::size_t kept = 0;
    for (std::size_t j = 0; j < pending_.size(); ++j) {
      if (found_[j] != nullptr) {
        definitions[pending_[j]] = {current, found_[j]};
      } else {
        pending_[kept++] = pending_[j];
      }
    }
    pending_.resize(kept);
  }
}

void MethodDirectory::ownMethods(Class cls, std::span<const SEL> selectors,
                                 std::span<Method> found) {
  auto last = std::find_if(walks_.begin(), walks_.end(),
                           [cls](const Walk& walk) { return walk.cls == cls; });
  bool holds = last != walks_.end() && last->version == host::methodsVersion(cls) &&
               std::all_of(selectors.begin(), selectors.end(),
                           [&](SEL selector) { return contains(last->selectors, selector); });
  const Walk& answer = holds ? *last : walk(cls, selectors);
  for (std::size_t i = 0; i < selectors.size(); ++i) {
    for (std::size_t k = 0; k < answer.selectors.size(); ++k) {
      if (host::sameSelector(answer.selectors[k], selectors[i])) found[i] = answer.found[k];
    }
  }
}

MethodDirectory::Walk& MethodDirectory::walk(Class cls, std::span<const SEL> selectors) {
  // What was asked, and the selectors of every row that targets this class, so that a later
  // constructor hooking it needs no walk of its own.
  std::vector<SEL> wanted(selectors.begin(), selectors.end());
  MethodKind kind = host::isMetaclass(cls) ? MethodKind::kClass : MethodKind::kInstance;
  const char* name = host::nameOf(cls);
  auto row = std::lower_bound(rows_.begin(), rows_.end(), 0,
                              [&](const Row& each, int) { return before(*each.hook, kind, name); });
  for (; row != rows_.end() && row->hook->kind == kind &&
         std::strcmp(row->hook->className, name) == 0;
       ++row) {
    if (row->selector == nullptr) row->selector = host::selectorNamed(row->hook->selector);
    if (!contains(wanted, row->selector)) wanted.push_back(row->selector);
  }
  // The version is read before the walk: a method added meanwhile makes the next use walk again.
  Walk fresh{cls, host::methodsVersion(cls), std::move(wanted), {}};
  fresh.found.assign(fresh.selectors.size(), nullptr);
  host::findOwnMethods(cls, fresh.selectors, fresh.found);
  auto last = std::find_if(walks_.begin(), walks_.end(),
                           [cls](const Walk& walk) { return walk.cls == cls; });
  if (last == walks_.end()) return walks_.emplace_back(std::move(fresh));
  *last = std::move(fresh);
  return *last;
}

}  // namespace vorla::core

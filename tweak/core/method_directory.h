// Where the methods a load hooks are defined, found with as few walks over the host's classes as
// possible: a class's methods are walked once for every selector the load's rows look for in it,
// however many constructors hook it, and walked again only once it has gained methods.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "tweak/core/hook_table.h"
#include "tweak/host/types.h"

namespace vorla::core {

// The class of a target's chain that defines a selector itself, and that class's method; both
// null when no class of the chain does.
struct Definition {
  Class definer = Nil;
  Method method = nullptr;
};

class MethodDirectory {
 public:
  // `rows` name what a walk of each target class looks for besides what it was asked.
  explicit MethodDirectory(std::vector<const Hook*> rows = {});

  // Where `target` gets each of `selectors` from: definitions[i] for selectors[i], the search
  // going up from `target` itself.
  void find(Class target, std::span<const SEL> selectors, std::span<Definition> definitions);

 private:
  // One walk of a class's own methods, and what it found.
  struct Walk {
    Class cls;
    const void* version;
    std::vector<SEL> selectors;
    std::vector<Method> found;
  };

  // A row, by the class it targets, with its selector once registered.
  struct Row {
    const Hook* hook;
    SEL selector;
  };

  // The methods `cls` defines itself for `selectors` (null for none), from the last walk of it
  // when that holds and looked for all of them, else from a new walk.
  void ownMethods(Class cls, std::span<const SEL> selectors, std::span<Method> found);
  Walk& walk(Class cls, std::span<const SEL> selectors);

  std::vector<Row> rows_;  // by class name and method kind
  std::vector<Walk> walks_;
  // Kept between searches, so that a search allocates nothing once they have grown.
  std::vector<std::size_t> pending_;
  std::vector<SEL> asked_;
  std::vector<Method> found_;
};

}  // namespace vorla::core

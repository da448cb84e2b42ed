// tweak/host/'s contract with the runtime, held by whichever runtime layer this build has: the
// messages it sends arrive with the exact signature, selectors match by name, a class's own
// methods are found and versioned, a changed implementation reaches the class and its subclasses
// and nothing else, and walking methods costs no memory.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin/runtime/class_builder.h"
#include "standin/runtime/message.h"
#include "tweak/host/methods.h"
#include "tweak/host/runtime.h"

namespace vorla::host {
namespace {

using standin::ClassBuilder;

std::string unique(const char* base) {
  return std::string(base) + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

int calls = 0;

CGFloat weightedSum(id, SEL, CGFloat a, CGFloat b, CGFloat c, CGFloat d) {
  ++calls;
  return a + 2 * b + 4 * c + 8 * d;
}

// More arguments of each kind than the registers that carry them, so that some go on the stack.
double manyArguments(id, SEL, long long a, double b, CGFloat c, BOOL d, long long e, double f,
                     long long g, double h, double i, double j, double k, double l, double m,
                     long long n, CGFloat o) {
  ++calls;
  return static_cast<double>(a + e + g + n) + b + c + (d ? 1000 : 0) + f + h + i + j + k + l + m +
         o;
}

long long wide(id, SEL) { return (1LL << 40) + 3; }
BOOL yes(id, SEL) { return YES; }
float third(id, SEL) { return 1.0f / 3; }
id itself(id object, SEL) { return object; }

id newInstance(Class cls) {
  return standin::send<id>(standin::send<id>(reinterpret_cast<id>(cls), "alloc"), "init");
}

TEST(RuntimeLayerTest, MessagesArriveAndAnswerWithTheirExactSignature) {
  Class cls = ClassBuilder(unique("Signatures").c_str(), "NSObject")
                  .instanceMethod("weightedSum::::", weightedSum)
                  .instanceMethod("many:::::::::::::::", manyArguments)
                  .instanceMethod("wide", wide)
                  .instanceMethod("yes", yes)
                  .instanceMethod("third", third)
                  .instanceMethod("itself", itself)
                  .build();
  id object = newInstance(cls);
  calls = 0;
  EXPECT_EQ(send<CGFloat>(object, selectorNamed("weightedSum::::"), CGFloat{0.5}, CGFloat{0.25},
                          CGFloat{0.125}, CGFloat{1}),
            CGFloat{9.5});
  EXPECT_DOUBLE_EQ(
      send<double>(object, selectorNamed("many:::::::::::::::"), 1LL, 0.5, CGFloat{0.25}, BOOL{YES},
                   10LL, 2.0, 100LL, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 1000LL, CGFloat{0.75}),
      1111 + 0.5 + 0.25 + 1000 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 0.75);
  EXPECT_EQ(send<long long>(object, selectorNamed("wide")), (1LL << 40) + 3);
  EXPECT_EQ(send<BOOL>(object, selectorNamed("yes")), YES);
  EXPECT_EQ(send<float>(object, selectorNamed("third")), 1.0f / 3);
  EXPECT_EQ(send<id>(object, selectorNamed("itself")), object);
  EXPECT_EQ(calls, 2);
  send(object, selectorNamed("release"));

  // Nil answers the zero of every type without a call.
  EXPECT_EQ(send<CGFloat>(nil, selectorNamed("weightedSum::::"), CGFloat{1}, CGFloat{1}, CGFloat{1},
                          CGFloat{1}),
            CGFloat{0});
  EXPECT_EQ(send<long long>(nil, selectorNamed("wide")), 0);
  EXPECT_EQ(send<id>(nil, selectorNamed("itself")), nil);
  EXPECT_EQ(calls, 2);
}

TEST(RuntimeLayerTest, SelectorsAreTheSameByName) {
  Class cls =
      ClassBuilder(unique("Typed").c_str(), "NSObject").instanceMethod("wide", wide).build();
  std::vector<Method> found(1);
  const SEL plain = selectorNamed("wide");
  findOwnMethods(cls, {&plain, 1}, found);
  ASSERT_NE(found[0], nullptr);
  EXPECT_TRUE(sameSelector(method_getName(found[0]), plain));
  EXPECT_FALSE(sameSelector(selectorNamed("wide"), selectorNamed("yes")));
}

TEST(RuntimeLayerTest, OwnMethodsAreFoundAndVersionedClassByClass) {
  Class parent = ClassBuilder(unique("Parent").c_str(), "NSObject")
                     .instanceMethod("wide", wide)
                     .instanceMethod("yes", yes)
                     .build();
  Class child = ClassBuilder(unique("Child").c_str(), parent)
                    .instanceMethod("yes", yes)
                    .instanceMethod("third", third)
                    .build();
  const std::vector<SEL> selectors = {selectorNamed("third"), selectorNamed("wide"),
                                      selectorNamed("nowhere"), selectorNamed("yes")};
  std::vector<Method> found(selectors.size(), reinterpret_cast<Method>(1));
  findOwnMethods(child, selectors, found);
  EXPECT_NE(found[0], nullptr);
  EXPECT_EQ(found[1], nullptr) << "inherited, not the child's own";
  EXPECT_EQ(found[2], nullptr);
  ASSERT_NE(found[3], nullptr);
  EXPECT_EQ(implementationOf(found[3]), reinterpret_cast<IMP>(yes));
  EXPECT_EQ(implementationOf(found[0]), reinterpret_cast<IMP>(third));

  const void* childVersion = methodsVersion(child);
  const void* parentVersion = methodsVersion(parent);
  EXPECT_EQ(methodsVersion(child), childVersion) << "nothing changed";
  class_addMethod(parent, selectorNamed("itself"), reinterpret_cast<IMP>(itself), "@@:");
  EXPECT_NE(methodsVersion(parent), parentVersion);
  EXPECT_EQ(methodsVersion(child), childVersion) << "the child's own methods are the same";
  addMethod(child, selectorNamed("wide"), reinterpret_cast<IMP>(wide), found[3]);
  EXPECT_NE(methodsVersion(child), childVersion);
}

long long one(id, SEL) { return 1; }
long long two(id, SEL) { return 2; }
long long hundred(id, SEL) { return 100; }
long long answer(Class cls) {
  id object = newInstance(cls);
  long long result = standin::send<long long>(object, "answer");
  standin::send(object, "release");
  return result;
}

Method ownMethod(Class cls, const char* selector) {
  std::vector<Method> found(1);
  const SEL wanted = selectorNamed(selector);
  findOwnMethods(cls, {&wanted, 1}, found);
  return found[0];
}

// A changed implementation reaches the class that defines the method and every subclass, those
// that have answered messages already among them, and no other class with a method of that name,
// whether or not any of them has been sent a message yet.
TEST(RuntimeLayerTest, AChangedImplementationReachesTheClassAndItsSubclassesOnly) {
  Class parent =
      ClassBuilder(unique("Parent").c_str(), "NSObject").instanceMethod("answer", one).build();
  Class child = ClassBuilder(unique("Child").c_str(), parent)
                    .instanceMethod("unrelated", two)
                    .instanceMethod("other", two)
                    .build();
  // Its first message is the check below: a class method, as classes and metaclasses alike start
  // without a table of their own.
  Class unmessaged =
      ClassBuilder(unique("Unmessaged").c_str(), "NSObject").classMethod("answer", two).build();
  Class sibling =
      ClassBuilder(unique("Sibling").c_str(), "NSObject").instanceMethod("answer", two).build();
  Class neverMessagedParent = ClassBuilder(unique("NeverMessagedParent").c_str(), "NSObject")
                                  .instanceMethod("answer", one)
                                  .build();
  ASSERT_EQ(answer(parent), 1);
  ASSERT_EQ(answer(child), 1);
  ASSERT_EQ(answer(sibling), 2);

  EXPECT_EQ(
      setImplementationUnpublished(ownMethod(parent, "answer"), reinterpret_cast<IMP>(hundred)),
      reinterpret_cast<IMP>(one));
  EXPECT_EQ(setImplementationUnpublished(ownMethod(neverMessagedParent, "answer"),
                                         reinterpret_cast<IMP>(hundred)),
            reinterpret_cast<IMP>(one));
  rebuildDispatch(parent);
  rebuildDispatch(neverMessagedParent);
  EXPECT_EQ(answer(parent), 100);
  EXPECT_EQ(answer(child), 100);
  EXPECT_EQ(answer(neverMessagedParent), 100);
  EXPECT_EQ(answer(sibling), 2);
  EXPECT_EQ(standin::send<long long>(reinterpret_cast<id>(unmessaged), "answer"), 2);
}

long long filler(id, SEL) { return 0; }

// The walks of a load copy nothing they keep: a class of 500 methods walked 2,000 times (a
// megabyte of method lists if each copy were kept) leaves the heap as it was.
TEST(RuntimeLayerTest, WalkingMethodsKeepsNoMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' allocator is not the one mallinfo2 reports on";
#endif
  ClassBuilder builder(unique("Large").c_str(), "NSObject");
  for (int i = 0; i < 500; ++i)
    builder.instanceMethod(("filler" + std::to_string(i)).c_str(), filler);
  Class cls = builder.build();
  const std::vector<SEL> selectors = {selectorNamed("filler499"), selectorNamed("absent")};
  std::vector<Method> found(selectors.size());
  auto inUse = [] { return mallinfo2().uordblks; };
  findOwnMethods(cls, selectors, found);
  methodsVersion(cls);
  const std::size_t before = inUse();
  for (int i = 0; i < 2000; ++i) {
    findOwnMethods(cls, selectors, found);
    methodsVersion(cls);
  }
  EXPECT_LT(inUse(), before + 64 * 1024);
  EXPECT_NE(found[0], nullptr);
}

}  // namespace
}  // namespace vorla::host

// The installer and callPrevious against the real runtime, on classes made for each test.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "standin/runtime/class_builder.h"
#include "standin/runtime/message.h"
#include "tweak/core/feature_gate.h"
#include "tweak/core/hook.h"

namespace vorla::core {
namespace {

using standin::ClassBuilder;
using standin::send;

// Each test names its classes after itself so that no two tests share one.
std::string unique(const char* base) {
  return std::string(base) + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

long long originalAnswer(id, SEL) { return 1; }
long long ancestorAnswer(id, SEL) { return 10; }
long long laterAncestorAnswer(id, SEL) { return 20; }

HookSlot slotA;
HookSlot slotB;
HookSlot slotC;
HookSlot slotD;
HookSlot slotE;

// Adds 100 to whatever the replaced behaviour answers, so a test sees both ran.
template <HookSlot& Slot>
long long plusHundred(id self, SEL cmd) {
  return 100 + callPrevious<long long>(Slot, self, cmd);
}

template <HookSlot& Slot>
long long plusThousand(id self, SEL cmd) {
  return 1000 + callPrevious<long long>(Slot, self, cmd);
}

void resetSlots() {
  for (HookSlot* slot : {&slotA, &slotB, &slotC, &slotD, &slotE}) {
    slot->previous.store(nullptr);
    slot->superclass.store(nullptr);
  }
}

long long answer(id receiver) { return send<long long>(receiver, "answer"); }

// What a new instance of `cls` answers.
long long answerOfInstance(Class cls) {
  id instance = send<id>(send<id>(reinterpret_cast<id>(cls), "alloc"), "init");
  long long result = answer(instance);
  send(instance, "release");
  return result;
}

Hook row(const std::string& className, const char* selector, long long (*replacement)(id, SEL),
         HookSlot& slot, MethodKind kind = MethodKind::kInstance) {
  // Rows keep only the pointer to the name; the copy lives as long as the test process.
  static std::list<std::string> names;
  return {names.emplace_back(className).c_str(), selector, kind,
          reinterpret_cast<IMP>(replacement),    &slot,    {}};
}

Hook row(const std::string& className, long long (*replacement)(id, SEL), HookSlot& slot,
         MethodKind kind = MethodKind::kInstance) {
  return row(className, "answer", replacement, slot, kind);
}

class HookInstallerTest : public ::testing::Test {
 protected:
  void SetUp() override { resetSlots(); }
};

TEST_F(HookInstallerTest, OwnMethodIsSwappedAndPreviousHoldsTheOriginal) {
  Class cls = ClassBuilder(unique("Own").c_str(), "NSObject")
                  .instanceMethod("answer", originalAnswer)
                  .build();
  installTableRows({row(unique("Own"), plusHundred<slotA>, slotA)});
  EXPECT_EQ(slotA.previous.load(), reinterpret_cast<IMP>(originalAnswer));
  EXPECT_EQ(answerOfInstance(cls), 101);
}

TEST_F(HookInstallerTest, InheritedMethodIsAddedAndResolvedThroughTheSuperclassAtEachCall) {
  Class parent = ClassBuilder(unique("Parent").c_str(), "NSObject")
                     .instanceMethod("answer", ancestorAnswer)
                     .build();
  Class child = ClassBuilder(unique("Child").c_str(), parent).build();
  installTableRows({row(unique("Child"), plusHundred<slotA>, slotA)});

  EXPECT_EQ(slotA.previous.load(), nullptr);
  EXPECT_EQ(answerOfInstance(child), 110);
  EXPECT_EQ(answerOfInstance(parent), 10) << "the ancestor keeps its own method";

  // The type encoding comes from the ancestor's method.
  Method added = class_getInstanceMethod(child, sel_registerName("answer"));
  Method original = class_getInstanceMethod(parent, sel_registerName("answer"));
  EXPECT_STREQ(method_getTypeEncoding(added), method_getTypeEncoding(original));

  // A change to the ancestor after installation is seen at the next call.
  class_replaceMethod(parent, sel_registerName("answer"),
                      reinterpret_cast<IMP>(laterAncestorAnswer), "q@:");
  EXPECT_EQ(answerOfInstance(child), 120);
}

// The rows of one target are looked for together, each class of the chain once for all of them:
// each row must still end at the class that defines its own method.
TEST_F(HookInstallerTest, RowsOfOneTargetEachFindTheClassThatDefinesTheirMethod) {
  Class grandparent = ClassBuilder(unique("Grandparent").c_str(), "NSObject")
                          .instanceMethod("first", ancestorAnswer)
                          .instanceMethod("second", ancestorAnswer)
                          .build();
  Class parent = ClassBuilder(unique("Parent").c_str(), grandparent)
                     .instanceMethod("second", laterAncestorAnswer)
                     .build();
  Class child = ClassBuilder(unique("Child").c_str(), parent)
                    .instanceMethod("third", originalAnswer)
                    .instanceMethod("fourth", originalAnswer)
                    .build();
  const std::string target = unique("Child");
  installTableRows({row(target, "third", plusHundred<slotA>, slotA),
                row(target, "nowhere", plusHundred<slotB>, slotB),
                row(target, "first", plusThousand<slotC>, slotC),
                row(target, "second", plusHundred<slotD>, slotD),
                row(target, "fourth", plusThousand<slotE>, slotE)});

  id instance = send<id>(send<id>(reinterpret_cast<id>(child), "alloc"), "init");
  EXPECT_EQ(send<long long>(instance, "third"), 101);
  EXPECT_EQ(send<long long>(instance, "first"), 1010);
  EXPECT_EQ(send<long long>(instance, "second"), 120);
  EXPECT_EQ(send<long long>(instance, "fourth"), 1001);
  send(instance, "release");
  EXPECT_EQ(slotA.previous.load(), reinterpret_cast<IMP>(originalAnswer));
  EXPECT_EQ(slotE.previous.load(), reinterpret_cast<IMP>(originalAnswer));
  EXPECT_EQ(slotC.previous.load(), nullptr);
  EXPECT_EQ(slotD.previous.load(), nullptr);
  EXPECT_FALSE(class_respondsToSelector(child, sel_registerName("nowhere")));
  EXPECT_EQ(class_getMethodImplementation(parent, sel_registerName("second")),
            reinterpret_cast<IMP>(laterAncestorAnswer))
      << "the ancestors keep their own methods";
  EXPECT_EQ(class_getMethodImplementation(grandparent, sel_registerName("first")),
            reinterpret_cast<IMP>(ancestorAnswer));
}

// One directory serves a whole load, and remembers what it found in each class: a class that has
// gained a method of its own since must be looked at again, or the later hook would take the
// ancestor's method for the one that runs.
TEST_F(HookInstallerTest, AClassThatGainedAMethodSinceItWasSearchedIsSearchedAgain) {
  Class parent = ClassBuilder(unique("Parent").c_str(), "NSObject")
                     .instanceMethod("answer", ancestorAnswer)
                     .build();
  Class child =
      ClassBuilder(unique("Child").c_str(), parent).instanceMethod("other", originalAnswer).build();
  const std::string target = unique("Child");
  const std::vector<Hook> first = {row(target, "other", plusHundred<slotA>, slotA)};
  const std::vector<Hook> second = {row(target, plusThousand<slotB>, slotB)};
  MethodDirectory directory({&first[0], &second[0]});
  installTableRows(first, directory);

  // The host gives the class its own method between two constructors.
  class_addMethod(child, sel_registerName("answer"), reinterpret_cast<IMP>(laterAncestorAnswer),
                  "q@:");
  installTableRows(second, directory);
  EXPECT_EQ(slotB.previous.load(), reinterpret_cast<IMP>(laterAncestorAnswer));
  EXPECT_EQ(answerOfInstance(child), 1020);
}

TEST_F(HookInstallerTest, ClassMethodsAreHookedOnTheMetaclass) {
  Class parent = ClassBuilder(unique("MetaParent").c_str(), "NSObject")
                     .classMethod("answer", ancestorAnswer)
                     .build();
  Class own =
      ClassBuilder(unique("MetaOwn").c_str(), parent).classMethod("answer", originalAnswer).build();
  Class inheriting = ClassBuilder(unique("MetaInheriting").c_str(), parent).build();
  // Nothing has been sent to these classes yet: hooking must not disturb their siblings.
  installTableRows({row(unique("MetaOwn"), plusHundred<slotA>, slotA, MethodKind::kClass),
                row(unique("MetaInheriting"), plusThousand<slotB>, slotB, MethodKind::kClass)});
  EXPECT_EQ(answer(reinterpret_cast<id>(own)), 101);
  EXPECT_EQ(answer(reinterpret_cast<id>(inheriting)), 1010);
  EXPECT_EQ(answer(reinterpret_cast<id>(parent)), 10);
  EXPECT_FALSE(class_respondsToSelector(inheriting, sel_registerName("answer")))
      << "instances gain nothing";
}

TEST_F(HookInstallerTest, AbsentClassAndUnknownSelectorChangeNothing) {
  installHook(Nil, sel_registerName("answer"), reinterpret_cast<IMP>(plusHundred<slotA>),
              &slotA.previous);
  EXPECT_EQ(slotA.previous.load(), nullptr);

  Class cls = ClassBuilder(unique("Plain").c_str(), "NSObject").build();
  installHook(cls, sel_registerName("nowhere"), reinterpret_cast<IMP>(plusHundred<slotA>),
              &slotA.previous);
  EXPECT_EQ(slotA.previous.load(), nullptr);
  EXPECT_FALSE(class_respondsToSelector(cls, sel_registerName("nowhere")));
}

TEST_F(HookInstallerTest, TypedSelectorsMatchByName) {
  // The class's method is registered under a typed selector; the installer is handed the plain
  // one, a different pointer of the same name.
  Class cls = ClassBuilder(unique("Typed").c_str(), "NSObject")
                  .instanceMethod("answer", originalAnswer)
                  .build();
  unsigned count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  ASSERT_EQ(count, 1u);
  SEL typed = method_getName(methods[0]);
  free(methods);
  SEL plain = sel_registerName("answer");
  ASSERT_NE(static_cast<const void*>(typed), static_cast<const void*>(plain));

  installHook(cls, plain, reinterpret_cast<IMP>(plusHundred<slotA>), &slotA.previous);
  EXPECT_EQ(answerOfInstance(cls), 101);
}

// plusHundred as a shape of a hook table, whose rows take their slots from the table.
struct AddHundred {
  template <HookSlot& Slot>
  static long long replacement(id self, SEL cmd) {
    return plusHundred<Slot>(self, cmd);
  }
};

struct AddThousand {
  template <HookSlot& Slot>
  static long long replacement(id self, SEL cmd) {
    return plusThousand<Slot>(self, cmd);
  }
};

// Two shapes on one class, selector and kind share a slot: the first install stays, whether the
// class defines the method or only inherits it (the second, recording the first as its previous
// implementation, would call it, and it itself, until the stack ran out).
TEST_F(HookInstallerTest, ASecondShapeOnAFilledSlotChangesNothing) {
  Class parent =
      ClassBuilder("SlotShapesParent", "NSObject").instanceMethod("answer", originalAnswer).build();
  Class child = ClassBuilder("SlotShapesChild", parent).build();
  installTableRows({hook<"SlotShapesParent", "answer", AddHundred>(),
                hook<"SlotShapesChild", "answer", AddHundred>()});
  installTableRows({hook<"SlotShapesParent", "answer", AddThousand>(),
                hook<"SlotShapesChild", "answer", AddThousand>()});
  EXPECT_EQ(answerOfInstance(parent), 101);
  EXPECT_EQ(answerOfInstance(child), 201);
}

// A class method and an instance method of one name are two methods with a slot each, and a row
// installed again keeps the host's implementation as the previous one, not its own replacement
// (which would call itself until the stack ran out).
TEST_F(HookInstallerTest, SlotsTellMethodKindsApartAndASecondInstallChangesNothing) {
  Class cls = ClassBuilder("SlotKinds", "NSObject")
                  .instanceMethod("answer", originalAnswer)
                  .classMethod("answer", ancestorAnswer)
                  .build();
  const std::vector<Hook> rows = {hook<"SlotKinds", "answer", AddHundred>(),
                                  classHook<"SlotKinds", "answer", AddHundred>()};
  installTableRows(rows);
  installHook(cls, sel_registerName("answer"), rows[0].replacement, &rows[0].slot->previous);
  EXPECT_EQ(answerOfInstance(cls), 101);
  EXPECT_EQ(answer(reinterpret_cast<id>(cls)), 110);
}

}  // namespace
}  // namespace vorla::core

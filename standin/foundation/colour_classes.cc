// UIColor and the colour picker's SparkColourPickerUtils.
#include "standin/foundation/platform_types.h"
#include "standin/foundation/registration.h"
#include "standin/foundation/value_bodies.h"
#include "standin/foundation/values.h"
#include "standin/runtime/class_builder.h"

namespace vorla::standin {
namespace {

Class colourClass;

id colourWithComponents(id, SEL, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return autoreleaseObject(newColour({red, green, blue, alpha}));
}

template <const char* kName>
id namedColour(id, SEL) {
  return autoreleaseObject(newColour(*text::namedColour(kName)));
}

BOOL getComponents(id colour, SEL, CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) {
  const text::Rgba& c = bodyOf<ColourBody>(colour)->rgba;
  if (red) *red = static_cast<CGFloat>(c.red);
  if (green) *green = static_cast<CGFloat>(c.green);
  if (blue) *blue = static_cast<CGFloat>(c.blue);
  if (alpha) *alpha = static_cast<CGFloat>(c.alpha);
  return YES;
}

BOOL colourIsEqual(id colour, SEL, id other) {
  auto mine = colourOf(colour);
  auto theirs = colourOf(other);
  return theirs && mine->red == theirs->red && mine->green == theirs->green &&
         mine->blue == theirs->blue && mine->alpha == theirs->alpha;
}

std::optional<text::Rgba> colourFromValue(id value) {
  auto text = stringOf(value);
  return text ? text::parseColourText(*text) : std::nullopt;
}

// A colour from the value when it is a colour text, else from the fallback text. A fallback
// that is no colour either gives black, so the answer is always a colour.
id colourWithString(id, SEL, id value, id fallback) {
  auto rgba = colourFromValue(value);
  if (!rgba) rgba = colourFromValue(fallback);
  return autoreleaseObject(newColour(rgba.value_or(text::Rgba{0, 0, 0, 1})));
}

constexpr char kOrange[] = "orange";
constexpr char kRed[] = "red";
constexpr char kWhite[] = "white";
constexpr char kGray[] = "gray";
constexpr char kBlack[] = "black";
constexpr char kCyan[] = "cyan";
constexpr char kBlue[] = "blue";
constexpr char kYellow[] = "yellow";

}  // namespace

id newColour(const text::Rgba& rgba) {
  return createObject(colourClass, std::make_unique<ColourBody>(rgba));
}

std::optional<text::Rgba> colourOf(id object) {
  const ColourBody* body = bodyOf<ColourBody>(object);
  if (body == nullptr) return std::nullopt;
  return body->rgba;
}

void registerColourClasses() {
  colourClass = ClassBuilder("UIColor", "NSObject")
                    .classMethod("alloc", allocWithEmptyBody<ColourBody>)
                    .classMethod("colorWithRed:green:blue:alpha:", colourWithComponents)
                    .classMethod("orangeColor", namedColour<kOrange>)
                    .classMethod("redColor", namedColour<kRed>)
                    .classMethod("whiteColor", namedColour<kWhite>)
                    .classMethod("grayColor", namedColour<kGray>)
                    .classMethod("blackColor", namedColour<kBlack>)
                    .classMethod("cyanColor", namedColour<kCyan>)
                    .classMethod("blueColor", namedColour<kBlue>)
                    .classMethod("yellowColor", namedColour<kYellow>)
                    .instanceMethod("getRed:green:blue:alpha:", getComponents)
                    .instanceMethod("isEqual:", colourIsEqual)
                    .build();
  ClassBuilder("SparkColourPickerUtils", "NSObject")
      .classMethod("colourWithString:withFallback:", colourWithString)
      .build();
}

}  // namespace vorla::standin

// Text labels, table views and cells with their separators, and the search field, in every app:
// each setter hands the host the user's colour in place of the one it asked for.
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

const Constructor& colors7() {
  static const Constructor constructor{
      "colors7",
      kEveryApp,
      "label text in colour colors7a",
      nullptr,
      {
          hook<"UILabel", "setTextColor:", ColourArgument<"colors7a", "#000000">>(),
      }};
  return constructor;
}

const Constructor& colors5() {
  static const Constructor constructor{
      "colors5",
      "preferences",
      "Settings list text in colour colors5a",
      nullptr,
      {
          hook<"PSListController", "setTextColor:", ColourArgument<"colors5a", "#ffb200">>(),
      }};
  return constructor;
}

const Constructor& colors4() {
  static const Constructor constructor{
      "colors4",
      kEveryApp,
      "table cell separators in colour colors4a",
      nullptr,
      {
          hook<"UITableViewCell", "setSeparatorColor:", ColourArgument<"colors4a", "#cd0000">>(),
      }};
  return constructor;
}

// Tables and their cells share one key and one switch, but each falls back on its own colour.
const Constructor& colors3Tables() {
  static const Constructor constructor{
      "colors3",
      kEveryApp,
      "table backgrounds in colour colors3a",
      nullptr,
      {
          hook<"UITableView", "setBackgroundColor:", ColourArgument<"colors3a", "#ffaa00">>(),
      }};
  return constructor;
}

const Constructor& colors3Cells() {
  static const Constructor constructor{
      "colors3",
      kEveryApp,
      "table cell backgrounds in colour colors3a",
      nullptr,
      {
          hook<"UITableViewCell", "setBackgroundColor:", ColourArgument<"colors3a", "#ffffff">>(),
      }};
  return constructor;
}

const Constructor& colors2() {
  static const Constructor constructor{"colors2",
                                       kEveryApp,
                                       "search field text in colour colors2a",
                                       nullptr,
                                       {
                                           hook<"UISearchBarTextFieldLabel", "setTextColor:",
                                                ColourArgument<"colors2a", "#000000">>(),
                                       }};
  return constructor;
}

const Constructor& colors1() {
  static const Constructor constructor{"colors1",
                                       kEveryApp,
                                       "search field background in colour colors1a",
                                       nullptr,
                                       {
                                           hook<"UISearchBarTextField", "setBackgroundColor:",
                                                ColourArgument<"colors1a", "#be0000">>(),
                                       }};
  return constructor;
}

}  // namespace vorla::features

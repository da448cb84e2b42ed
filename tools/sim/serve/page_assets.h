// The page's own files, built into the program when it is compiled (tools/sim/page/), so that
// the server never opens a file to answer a request.
#pragma once

#include <span>
#include <string_view>

namespace vorla::sim {

struct PageAsset {
  std::string_view path;  // the request path that names it
  std::string_view type;  // its media type
  std::string_view body;
};

std::span<const PageAsset> pageAssets();

}  // namespace vorla::sim

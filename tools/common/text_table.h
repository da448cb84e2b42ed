// Rows of text printed in aligned columns, for the tools' readable output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vorla::tools {

class TextTable {
 public:
  void add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
  bool empty() const { return rows_.empty(); }

  // Each row on a line after `indent`, each column as wide as its widest cell (counted in
  // characters, not bytes), two spaces apart; the last column is not padded.
  void print(std::ostream& out, const std::string& indent) const;

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace vorla::tools

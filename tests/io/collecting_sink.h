// A CellSink that keeps every sheet and cell it is given, for the reader tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "io/cell_sink.h"

namespace dez::io::testing {

using Cells = std::map<std::pair<std::int32_t, std::int32_t>, Variant>;  // (row, column) -> value

struct CollectedSheet {
  std::string name;
  Cells cells;
  bool complete = false;
};

class CollectingSink : public CellSink {
 public:
  std::vector<CollectedSheet> sheets;

  void BeginSheet(const std::string& name) override { sheets.push_back(CollectedSheet{name, {}, false}); }
  void SetCell(std::int32_t row, std::int32_t column, Variant value) override {
    sheets.back().cells[{row, column}] = std::move(value);
  }
  void EndSheet() override { sheets.back().complete = true; }
};

}  // namespace dez::io::testing

// GridLog as a report-view list-view. The grid's header row 0 is the
// list-view's header control, so grid row n is list-view item n - 1.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "logmonitor/InfoLogReader.h"
#include "platform/WindowFrame_win.h"

namespace zlv {

class ListViewGrid final : public LogGrid {
 public:
  ListViewGrid(HWND listView, const Dpi& dpi) : lv_(listView), dpi_(dpi) {}

  void SetRedraw(bool on) override;
  void InsertRow(int32_t position, std::span<const std::string_view> cells) override;
  int32_t Rows() override;
  void SetRows(int32_t rows) override;
  int32_t Cols() override;
  // The view returns to the first data row, where the newest entry is.
  void SetView(int32_t value) override;
  void AutoSize(int32_t first, int32_t last, bool equalWidths, int32_t extraTwips) override;

  // Set-up only: the number of columns and their titles, "|"-separated.
  void SetCols(int32_t cols);
  void SetTitles(std::string_view titles);
  void SetColumnAlignment(int32_t col, int format);

 private:
  int32_t Items();
  void SetCell(int item, int col, std::string_view text);

  HWND lv_;
  Dpi dpi_;
  std::vector<std::string> titles_;
  std::string cell_;  // reused buffer: the list-view wants terminated text
};

}  // namespace zlv

// GridLog as a report-view list-view. The grid's header row 0 is the
// list-view's header control, so grid row n is list-view item n - 1.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "logmonitor/InfoLogReader.h"
#include "platform/WindowFrame_win.h"

namespace zlv {

class ListViewGrid final : public LogGridSetup {
 public:
  ListViewGrid(HWND listView, const Dpi& dpi);
  ListViewGrid(const ListViewGrid&) = delete;
  ListViewGrid& operator=(const ListViewGrid&) = delete;
  ~ListViewGrid() override;

  void SetRedraw(bool on) override;
  void InsertRow(int32_t position, std::span<const std::string_view> cells) override;
  int32_t Rows() override;
  void SetRows(int32_t rows) override;
  int32_t Cols() override;
  // The view returns to the first data row, where the newest entry is.
  void SetView(int32_t value) override;
  void AutoSize(int32_t first, int32_t last, bool equalWidths, int32_t extraTwips) override;

  void SetCols(int32_t cols) override;
  void SetTitles(std::string_view titles) override;
  void SetLeftAligned(int32_t col) override;
  void SetLogLook() override;

 private:
  int32_t Items();
  void SetCell(int item, int col, std::string_view text);
  int TextWidth(std::string_view text);

  HWND lv_;
  Dpi dpi_;
  std::vector<std::string> titles_;
  std::vector<int> titleWidths_;  // pixels, header margins included
  std::string cell_;              // reused buffer: the list-view wants terminated text
  // Each item's cell widths in pixels, in item order. The list-view's own
  // autosize measures every cell through a fresh device context, which costs
  // tens of milliseconds per fill; here each cell is measured once, on insert.
  std::deque<std::vector<int>> widths_;
  HDC measure_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

}  // namespace zlv

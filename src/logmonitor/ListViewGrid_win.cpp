#include "logmonitor/ListViewGrid_win.h"

#include <commctrl.h>

#include <algorithm>

#include "core/Failure.h"

namespace zlv {

namespace {
[[noreturn]] void Refused(const char* what) {
  Raise(err::kInternal, std::string("The log grid refused ") + what);
}
// Room for the header's and the cells' own margins around the text.
constexpr int kHeaderPaddingPixels = 16;
constexpr int kCellPaddingPixels = 12;
}  // namespace

ListViewGrid::ListViewGrid(HWND listView, const Dpi& dpi) : lv_(listView), dpi_(dpi) {
  measure_ = CreateCompatibleDC(nullptr);
  const auto font = reinterpret_cast<HFONT>(SendMessageA(lv_, WM_GETFONT, 0, 0));
  if (measure_ && font) oldFont_ = SelectObject(measure_, font);
}

ListViewGrid::~ListViewGrid() {
  if (!measure_) return;
  if (oldFont_) SelectObject(measure_, oldFont_);
  DeleteDC(measure_);
}

int ListViewGrid::TextWidth(std::string_view text) {
  SIZE size{};
  if (!measure_ || text.empty() ||
      !GetTextExtentPoint32A(measure_, text.data(), static_cast<int>(text.size()), &size)) {
    return kCellPaddingPixels;
  }
  return size.cx + kCellPaddingPixels;
}

void ListViewGrid::SetRedraw(bool on) {
  if (!on) {
    SendMessageA(lv_, WM_SETREDRAW, FALSE, 0);
    return;
  }
  // Switched back on, the list-view brings its scroll bars up to date, and a
  // visible bar is drawn there and then: under Wine several milliseconds per
  // bar, inside the tick. Out of sight for that moment (the system's own half
  // of the switch), the bars are drawn in the paint that follows, which waits
  // behind input and covers several fills when ticks come faster than paints.
  DefWindowProcA(lv_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lv_, WM_SETREDRAW, TRUE, 0);
  DefWindowProcA(lv_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(lv_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

int32_t ListViewGrid::Items() {
  return static_cast<int32_t>(SendMessageA(lv_, LVM_GETITEMCOUNT, 0, 0));
}

void ListViewGrid::SetCell(int item, int col, std::string_view text) {
  cell_.assign(text);
  LVITEMA lvi{};
  lvi.iSubItem = col;
  lvi.pszText = cell_.data();
  if (!SendMessageA(lv_, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi))) {
    Refused("a cell's text");
  }
}

void ListViewGrid::InsertRow(int32_t position, std::span<const std::string_view> cells) {
  const int item = position - 1;
  if (item < 0 || item > Items()) Raise(err::kInvalidCall, "Invalid row index");
  cell_.assign(cells.empty() ? std::string_view() : cells[0]);
  LVITEMA lvi{};
  lvi.mask = LVIF_TEXT;
  lvi.iItem = item;
  lvi.pszText = cell_.data();
  const auto at =
      static_cast<int>(SendMessageA(lv_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
  if (at < 0) Refused("a new row");
  const std::size_t cols = std::min<std::size_t>(cells.size(), static_cast<std::size_t>(Cols()));
  std::vector<int> widths(cols);
  for (std::size_t col = 0; col < cols; ++col) {
    if (col > 0) SetCell(at, static_cast<int>(col), cells[col]);
    widths[col] = TextWidth(cells[col]);
  }
  widths_.insert(widths_.begin() + std::min<std::size_t>(at, widths_.size()), std::move(widths));
}

int32_t ListViewGrid::Rows() {
  return Items() + 1;
}

void ListViewGrid::SetRows(int32_t rows) {
  if (rows < 1) Raise(err::kInvalidProperty, "Invalid property value");
  for (int32_t items = Items(); items > rows - 1; --items) {
    if (!SendMessageA(lv_, LVM_DELETEITEM, items - 1, 0)) Refused("to remove a row");
    if (widths_.size() >= static_cast<std::size_t>(items))
      widths_.erase(widths_.begin() + (items - 1));
  }
  for (int32_t items = Items(); items < rows - 1; ++items) {
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = items;
    lvi.pszText = const_cast<char*>("");
    if (SendMessageA(lv_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)) < 0) {
      Refused("a new row");
    }
    widths_.emplace_back();
  }
}

int32_t ListViewGrid::Cols() {
  const auto header = reinterpret_cast<HWND>(SendMessageA(lv_, LVM_GETHEADER, 0, 0));
  if (!header) Refused("its header");
  return static_cast<int32_t>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

void ListViewGrid::SetView(int32_t value) {
  if (value < 0) Raise(err::kInvalidProperty, "Invalid property value");
  if (Items() > value) SendMessageA(lv_, LVM_ENSUREVISIBLE, value, FALSE);
}

void ListViewGrid::AutoSize(int32_t first, int32_t last, bool equalWidths, int32_t extraTwips) {
  const int extra = dpi_.ToPixelsX(extraTwips);
  std::vector<int> widths;
  for (int32_t col = first; col <= last; ++col) {
    // LVSCW_AUTOSIZE_USEHEADER would stretch the last column to the control's
    // edge; cells and title are measured separately instead.
    int width = 0;
    for (const std::vector<int>& row : widths_) {
      if (static_cast<std::size_t>(col) < row.size()) width = std::max(width, row[col]);
    }
    if (static_cast<std::size_t>(col) < titleWidths_.size()) {
      width = std::max(width, titleWidths_[col]);
    }
    widths.push_back(width + extra);
  }
  if (equalWidths && !widths.empty()) {
    std::fill(widths.begin(), widths.end(), *std::max_element(widths.begin(), widths.end()));
  }
  for (int32_t col = first; col <= last; ++col) {
    // An unchanged width is not set again: the list-view would lay out its
    // header and rows anew for nothing.
    const int width = widths[col - first];
    if (SendMessageA(lv_, LVM_GETCOLUMNWIDTH, col, 0) == width) continue;
    if (!SendMessageA(lv_, LVM_SETCOLUMNWIDTH, col, MAKELPARAM(width, 0))) {
      Refused("a column width");
    }
  }
}

void ListViewGrid::SetCols(int32_t cols) {
  if (cols < 0) Raise(err::kInvalidProperty, "Invalid property value");
  for (int32_t n = Cols(); n > cols; --n) SendMessageA(lv_, LVM_DELETECOLUMN, n - 1, 0);
  for (int32_t n = Cols(); n < cols; ++n) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = dpi_.ToPixelsX(1000);
    column.pszText = const_cast<char*>("");
    column.iSubItem = n;
    if (SendMessageA(lv_, LVM_INSERTCOLUMNA, n, reinterpret_cast<LPARAM>(&column)) < 0) {
      Refused("a new column");
    }
  }
  titles_.resize(static_cast<std::size_t>(cols));
  titleWidths_.resize(static_cast<std::size_t>(cols), kHeaderPaddingPixels);
}

void ListViewGrid::SetTitles(std::string_view titles) {
  const int32_t cols = Cols();
  titles_.resize(static_cast<std::size_t>(cols));
  titleWidths_.assign(static_cast<std::size_t>(cols), 0);
  for (int32_t col = 0; col < cols; ++col) {
    const std::size_t bar = titles.find('|');
    titles_[col] = std::string(titles.substr(0, bar));
    titleWidths_[col] =
        static_cast<int>(SendMessageA(lv_, LVM_GETSTRINGWIDTHA, 0,
                                      reinterpret_cast<LPARAM>(titles_[col].c_str()))) +
        kHeaderPaddingPixels;
    titles = bar == std::string_view::npos ? std::string_view() : titles.substr(bar + 1);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = titles_[col].data();
    if (!SendMessageA(lv_, LVM_SETCOLUMNA, col, reinterpret_cast<LPARAM>(&column))) {
      Refused("a column title");
    }
  }
}

void ListViewGrid::SetLogLook() {
  constexpr DWORD look =
      LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
  SendMessageA(lv_, LVM_SETEXTENDEDLISTVIEWSTYLE, look, look);
}

void ListViewGrid::SetLeftAligned(int32_t col) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  if (!SendMessageA(lv_, LVM_SETCOLUMNA, col, reinterpret_cast<LPARAM>(&column))) {
    Refused("a column alignment");
  }
}

}  // namespace zlv

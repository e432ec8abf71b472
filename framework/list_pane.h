// A list pane: draws a sorted address list and lets the user select in it.
// The list itself (items, selection, first visible item) lives in the core's
// SortedAddressList; the pane keeps only the caret and the anchor that
// Shift-selection extends from. Only visible rows are drawn, so ten million
// items scroll like ten.
//
// Mouse: a click selects one item alone, Shift+click selects from the
// anchor, Ctrl+click toggles one item. Keys: arrows, Page Up/Down, Home and
// End move the caret and select it alone; with Shift they select from the
// anchor; with Ctrl they move only the caret; Ctrl+Space toggles the caret's
// item.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstddef>
#include <string_view>

#include "address/sorted_list.h"

namespace zofrin {

class CListPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CListPane(SortedAddressList* list, QWidget* parent = nullptr);

  SortedAddressList& List() { return *m_list; }
  // A fixed width to scroll sideways over, in pixels; 0 for none.
  void SetHorizontalExtent(int pixels);
  int HorizontalExtent() const { return m_extent; }
  // How an item's bytes become the text shown: program text by default;
  // a list of file paths shows them as file names are shown.
  using Decoder = QString (*)(std::string_view);
  void SetDecoder(Decoder decoder) { m_decoder = decoder; }
  // Call after the list changed: updates the scroll bars and redraws.
  void Refresh();

  int RowHeight() const;
  // The item at a point of the viewport, or npos.
  std::size_t ItemAt(const QPoint& point) const;
  // The rectangle of row `index` in viewport coordinates.
  QRect RowRect(std::size_t index) const;
  std::size_t Caret() const { return m_caret; }

 signals:
  // The user changed the selection.
  void selectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void UpdateScrollBars();
  void ClampMarks();
  void SelectOnly(std::size_t index);
  void SelectFromAnchor(std::size_t index, bool keepOthers);
  void EnsureVisible(std::size_t index);
  std::size_t PageRows() const;

  SortedAddressList* m_list;
  Decoder m_decoder;
  int m_extent = 0;
  std::size_t m_caret = 0;
  std::size_t m_anchor = 0;
  bool m_dragging = false;
};

}  // namespace zofrin

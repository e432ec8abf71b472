#include "framework/list_pane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "framework/text_codec.h"

namespace zofrin {

CListPane::CListPane(SortedAddressList* list, QWidget* parent)
    : QAbstractScrollArea(parent), m_list(list), m_decoder(&FromProgramText) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::StyledPanel);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setSingleStep(1);
  UpdateScrollBars();
}

int CListPane::RowHeight() const { return fontMetrics().height() + 1; }

std::size_t CListPane::PageRows() const {
  return static_cast<std::size_t>(std::max(1, viewport()->height() / RowHeight()));
}

void CListPane::SetHorizontalExtent(int pixels) {
  m_extent = pixels;
  setHorizontalScrollBarPolicy(pixels > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  UpdateScrollBars();
}

void CListPane::Refresh() {
  ClampMarks();
  UpdateScrollBars();
  viewport()->update();
}

void CListPane::ClampMarks() {
  const std::size_t count = m_list->Count();
  if (count == 0) {
    m_caret = m_anchor = 0;
    return;
  }
  m_caret = std::min(m_caret, count - 1);
  m_anchor = std::min(m_anchor, count - 1);
}

void CListPane::UpdateScrollBars() {
  const std::size_t rows = PageRows();
  m_list->SetPageRows(rows);
  const std::size_t count = m_list->Count();
  QScrollBar* vertical = verticalScrollBar();
  const QSignalBlocker blocker(vertical);
  vertical->setRange(0, static_cast<int>(count > rows ? std::min<std::size_t>(count - rows,
                                                                                INT32_MAX)
                                                      : 0));
  vertical->setPageStep(static_cast<int>(rows));
  vertical->setValue(static_cast<int>(m_list->TopIndex()));
  vertical->setEnabled(count > rows);
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, m_extent - viewport()->width()));
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
}

QRect CListPane::RowRect(std::size_t index) const {
  const long long row = static_cast<long long>(index) - static_cast<long long>(m_list->TopIndex());
  const int width = std::max(viewport()->width(), m_extent);
  return QRect(-horizontalScrollBar()->value(), static_cast<int>(row) * RowHeight(), width,
               RowHeight());
}

std::size_t CListPane::ItemAt(const QPoint& point) const {
  if (point.y() < 0) return SortedAddressList::npos;
  const std::size_t index = m_list->TopIndex() + static_cast<std::size_t>(point.y() / RowHeight());
  return index < m_list->Count() ? index : SortedAddressList::npos;
}

void CListPane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& pal = palette();
  const bool active = hasFocus();
  const std::size_t first = m_list->TopIndex();
  const std::size_t last = std::min(m_list->Count(), first + PageRows() + 1);
  const int margin = 2;
  for (std::size_t i = first; i < last; ++i) {
    const QRect rect = RowRect(i);
    const bool selected = m_list->IsSelected(i);
    if (selected) {
      painter.fillRect(rect, pal.brush(active ? QPalette::Active : QPalette::Inactive,
                                       QPalette::Highlight));
      painter.setPen(pal.color(active ? QPalette::Active : QPalette::Inactive,
                               QPalette::HighlightedText));
    } else {
      painter.setPen(pal.color(QPalette::Text));
    }
    painter.drawText(rect.adjusted(margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     m_decoder(m_list->Text(i)));
    if (active && i == m_caret) {
      QStyleOptionFocusRect option;
      option.initFrom(this);
      option.rect = rect.adjusted(0, 0, -1, -1);
      option.backgroundColor = selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
  }
}

void CListPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CListPane::scrollContentsBy(int, int) {
  m_list->ScrollTo(static_cast<std::size_t>(verticalScrollBar()->value()));
  viewport()->update();
}

void CListPane::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void CListPane::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void CListPane::SelectOnly(std::size_t index) {
  if (m_list->Count() == 0) return;
  m_list->SetSelRange(false, 0, m_list->Count() - 1);
  m_list->SetSel(true, index);
}

void CListPane::SelectFromAnchor(std::size_t index, bool keepOthers) {
  if (m_list->Count() == 0) return;
  if (!keepOthers) m_list->SetSelRange(false, 0, m_list->Count() - 1);
  m_list->SetSelRange(true, std::min(m_anchor, index), std::max(m_anchor, index));
}

void CListPane::EnsureVisible(std::size_t index) {
  const std::size_t rows = PageRows();
  const std::size_t top = m_list->TopIndex();
  if (index < top) {
    m_list->ScrollTo(index);
  } else if (index >= top + rows) {
    m_list->ScrollTo(index + 1 - rows);
  }
  UpdateScrollBars();
}

void CListPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const std::size_t index = ItemAt(event->position().toPoint());
  if (index == SortedAddressList::npos) return;
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (mods & Qt::ShiftModifier) {
    SelectFromAnchor(index, mods & Qt::ControlModifier);
  } else if (mods & Qt::ControlModifier) {
    m_list->SetSel(!m_list->IsSelected(index), index);
    m_anchor = index;
  } else {
    SelectOnly(index);
    m_anchor = index;
  }
  m_caret = index;
  m_dragging = !(mods & Qt::ControlModifier);
  viewport()->update();
  emit selectionChanged();
}

void CListPane::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging || !(event->buttons() & Qt::LeftButton) || m_list->Count() == 0) return;
  QPoint point = event->position().toPoint();
  point.setY(std::clamp(point.y(), 0, viewport()->height() - 1));
  std::size_t index = ItemAt(point);
  if (index == SortedAddressList::npos) index = m_list->Count() - 1;
  if (index == m_caret) return;
  SelectFromAnchor(index, false);
  m_caret = index;
  EnsureVisible(index);
  viewport()->update();
  emit selectionChanged();
}

void CListPane::keyPressEvent(QKeyEvent* event) {
  const std::size_t count = m_list->Count();
  if (count == 0) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const std::size_t rows = PageRows();
  std::size_t target = m_caret;
  switch (event->key()) {
    case Qt::Key_Up: target = m_caret > 0 ? m_caret - 1 : 0; break;
    case Qt::Key_Down: target = std::min(m_caret + 1, count - 1); break;
    case Qt::Key_PageUp: target = m_caret > rows - 1 ? m_caret - (rows - 1) : 0; break;
    case Qt::Key_PageDown: target = std::min(m_caret + (rows - 1), count - 1); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = count - 1; break;
    case Qt::Key_Space:
      if (event->modifiers() & Qt::ControlModifier) {
        m_list->SetSel(!m_list->IsSelected(m_caret), m_caret);
        m_anchor = m_caret;
      } else if (event->modifiers() & Qt::ShiftModifier) {
        SelectFromAnchor(m_caret, false);
      } else {
        SelectOnly(m_caret);
        m_anchor = m_caret;
      }
      viewport()->update();
      emit selectionChanged();
      return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  const Qt::KeyboardModifiers mods = event->modifiers();
  m_caret = target;
  if (mods & Qt::ShiftModifier) {
    SelectFromAnchor(target, mods & Qt::ControlModifier);
  } else if (!(mods & Qt::ControlModifier)) {
    SelectOnly(target);
    m_anchor = target;
  }
  EnsureVisible(target);
  viewport()->update();
  if (!(mods & Qt::ControlModifier) || (mods & Qt::ShiftModifier)) emit selectionChanged();
}

}  // namespace zofrin

#include "review/ProfileList.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "TextBridge.h"
#include "review/ProfileTable.h"
#include "review/CheckDataModel.h"

namespace tern {

namespace {
const QColor kSelectedRejectedBack(112, 112, 112);
const QColor kRejectedBack(248, 248, 248);
const QColor kSuspectBack(255, 214, 153);  // behind a value the automatic checks point at
const QColor kSuspectMark(255, 140, 0);     // under it on a selected line
// Text and strike lines start this far inside a line.
constexpr int kTextMargin = 2;
}  // namespace

int ProfileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(model_.Masks().size());
}

QVariant ProfileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return ToQ(model_.Line(index.row()));
  if (role == Qt::ToolTipRole) {
    const std::string why = model_.SuspectText(index.row());
    if (!why.empty()) return ToQ(why);
  }
  return {};
}

void ProfileListModel::Refresh(int first, int last) {
  if (first < 0 || last < first) return;
  emit dataChanged(index(first), index(last));
}

void ProfileListModel::RefreshAll() {
  beginResetModel();
  endResetModel();
}

double ProfileCharWidth(const QFont& font) {
  return QFontMetricsF(font).horizontalAdvance(QStringLiteral("+-0123456789")) / 12.0;
}

int ProfileLineWidth(const QFont& font) {
  const QString extent = ToQ(ProfileHeaderLine()) + QStringLiteral("   ");
  return kTextMargin + static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(extent)));
}

QItemSelectionModel::SelectionFlags ProfileListView::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
  if (event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
                event->type() == QEvent::MouseMove)) {
    const auto* e = static_cast<const QMouseEvent*>(event);
    if (e->modifiers() & Qt::ControlModifier) {
      // Ctrl never adds a line to the selection: the pressed line alone.
      if (event->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton)
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
      return QItemSelectionModel::NoUpdate;
    }
  }
  return QListView::selectionCommand(index, event);
}

void ProfileLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto* list = static_cast<const ProfileListModel*>(index.model());
  const CheckDataModel& model = list->Model();
  const int row = index.row();
  const bool selected = option.state & QStyle::State_Selected;
  const bool rejected = model.Masks()[row] != 0;
  QColor back = Qt::white, fore = Qt::black, strike = QColor(128, 0, 0);
  if (selected && !rejected) {
    back = Qt::blue;
    fore = Qt::white;
  } else if (selected) {
    back = kSelectedRejectedBack;
    fore = Qt::cyan;
    strike = Qt::cyan;
  } else if (rejected) {
    back = kRejectedBack;
    fore = QColor(128, 0, 0);
  }
  painter->save();
  painter->fillRect(option.rect, back);
  {
    const double cw = ProfileCharWidth(option.font);
    for (const ColumnSpan& span : model.SuspectSpans(row)) {
      const int x1 = option.rect.left() + kTextMargin + static_cast<int>(std::lround(span.first * cw));
      const int x2 = option.rect.left() + kTextMargin + static_cast<int>(std::lround((span.last + 1) * cw));
      if (selected)
        painter->fillRect(QRect(x1, option.rect.bottom() - 2, x2 - x1, 3), kSuspectMark);
      else
        painter->fillRect(QRect(x1, option.rect.top(), x2 - x1, option.rect.height()), kSuspectBack);
    }
  }
  painter->setFont(option.font);
  painter->setPen(fore);
  painter->drawText(option.rect.adjusted(kTextMargin, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                    index.data(Qt::DisplayRole).toString());
  if (rejected) {
    const double cw = ProfileCharWidth(option.font);
    const int y = option.rect.center().y();
    painter->setPen(QPen(strike, 1));
    // A span runs from character position first to position last, no further.
    for (const ColumnSpan& span : model.StrikeSpans(row)) {
      const int x1 = option.rect.left() + kTextMargin + static_cast<int>(std::lround(span.first * cw));
      const int x2 = option.rect.left() + kTextMargin + static_cast<int>(std::lround(span.last * cw));
      painter->drawLine(x1, y, x2, y);
    }
  }
  painter->restore();
}

QSize ProfileLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  const QFontMetrics fm(option.font);
  return {ProfileLineWidth(option.font), fm.height() + 2};
}

ProfileHeader::ProfileHeader(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("pbxHeader")); }

void ProfileHeader::SetOffset(int pixels) {
  offset_ = pixels;
  update();
}

void ProfileHeader::SetListFocused(bool focused) {
  listFocused_ = focused;
  update();
}

QSize ProfileHeader::sizeHint() const { return {ProfileLineWidth(font()), fontMetrics().height() + 4}; }

void ProfileHeader::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // Navy with white text while the list has the focus.
  p.fillRect(rect(), listFocused_ ? QColor(0, 0, 128) : Qt::white);
  p.setPen(listFocused_ ? Qt::white : QColor(0, 0, 128));
  p.setFont(font());
  p.drawText(rect().adjusted(kTextMargin - offset_, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQ(ProfileHeaderLine()));
}

}  // namespace tern

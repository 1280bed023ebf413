#pragma once
// The profile table of the data check: one fixed-width line per level, drawn
// with the rejection colours and strike lines, and its header that scrolls
// horizontally with it.
#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QWidget>

namespace tern {

class CheckDataModel;

class ProfileListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit ProfileListModel(const CheckDataModel& model, QObject* parent = nullptr)
      : QAbstractListModel(parent), model_(model) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Lines first..last were re-formatted.
  void Refresh(int first, int last);
  void RefreshAll();
  const CheckDataModel& Model() const { return model_; }

 private:
  const CheckDataModel& model_;
};

class ProfileLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Average width of "+-0123456789" in the font: the unit of the column positions.
double ProfileCharWidth(const QFont& font);
// Horizontal extent of a table line: the header and three blanks after it.
int ProfileLineWidth(const QFont& font);

// The table's list: a click selects a line, Shift extends the run, and
// Ctrl + click makes the clicked line the only selected one.
class ProfileListView : public QListView {
  Q_OBJECT
 public:
  using QListView::QListView;

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
};

class ProfileHeader : public QWidget {
  Q_OBJECT
 public:
  explicit ProfileHeader(QWidget* parent = nullptr);
  void SetOffset(int pixels);
  void SetListFocused(bool focused);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  int offset_ = 0;
  bool listFocused_ = false;
};

}  // namespace tern

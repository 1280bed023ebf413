#include "ChoiceBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "TextBridge.h"

namespace tern {
namespace {

constexpr int kButtonTops[4] = {42, 71, 101, 130};
constexpr int kButtonHeight = 25;
// The icon keeps a margin from the box's edge, and the question starts beside it.
constexpr int kIconLeft = 6;
constexpr int kLabelLeft = kIconLeft + 32 + 6;
constexpr int kLabelTop = 5;
constexpr int kIconSize = 32;
constexpr int kIconTop = 6;
// A push button needs room for its frame besides the caption itself.
constexpr int kButtonFrame = 16;

QFont PixelFont(int px, bool bold) {
  QFont f = QApplication::font();
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

QIcon IconFor(int icon, const QStyle* style) {
  switch (icon) {
    case 0: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case 1: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case 2: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case 3: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    default: return {};
  }
}

Question ToQuestion(const QStringList& texts, int icon, int defaultButton, int escButton) {
  Question q;
  if (texts.size() > 0) q.title = FromQ(texts[0]);
  if (texts.size() > 1) q.text = FromQ(texts[1]);
  for (int i = 2; i < texts.size(); ++i) q.buttons.push_back(FromQ(texts[i]));
  q.icon = static_cast<BoxIcon>(icon);
  q.defaultButton = defaultButton;
  q.escButton = escButton;
  return q;
}

// A reader's question carries "Запрос " and the ascent's file as its caption;
// closing such a box has always meant its second answer.
bool IsReaderQuestion(const QString& title) {
  static const QString prefix = QStringLiteral("Запрос ");
  if (!title.startsWith(prefix)) return false;
  const QString file = title.mid(prefix.size());
  return file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')) || file.contains(QLatin1Char('.'));
}

}  // namespace

QString DisplayText(const std::string& cp1251) {
  QString s = ToQ(cp1251);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

TmbxMC::TmbxMC(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("mbxMC"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(PixelFont(11, false));
  setFixedSize(kClientWidth, kClientHeight);
  imgIcon = new QLabel(this);
  imgIcon->setObjectName(QStringLiteral("imgIcon"));
  imgIcon->setGeometry(kIconLeft, kIconTop, kIconSize, kIconSize);
  imgIcon->setAlignment(Qt::AlignCenter);
  lblQuerry = new QLabel(this);
  lblQuerry->setObjectName(QStringLiteral("lblQuerry"));
  lblQuerry->setFont(PixelFont(13, true));
  lblQuerry->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblQuerry->setWordWrap(true);
  // File names and quoted lines are shown as written, never read as markup.
  lblQuerry->setTextFormat(Qt::PlainText);
  lblQuerry->setGeometry(kLabelLeft, kLabelTop, 423, 30);
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(this);
    b->setObjectName(QStringLiteral("Btn%1").arg(i + 1));
    b->setFont(PixelFont(13, false));
    b->setAutoDefault(false);
    b->setGeometry(0, kButtonTops[i], 100, kButtonHeight);
    b->setVisible(i == 0);
    connect(b, &QPushButton::clicked, this, [this, i] { done(i + 1); });
    Btn[i] = b;
  }
}

bool TmbxMC::Prepare(const QStringList& texts, int icon, int defaultButton, int escButton) {
  if (!IsValidQuestion(ToQuestion(texts, icon, defaultButton, escButton)) || texts.size() > 6) return false;
  const int n = static_cast<int>(texts.size()) - 2;

  const QIcon ic = IconFor(icon, style());
  imgIcon->setPixmap(ic.isNull() ? QPixmap() : ic.pixmap(kIconSize, kIconSize));
  setWindowTitle(texts[0]);

  // The widest caption decides the width of every button, and the box grows to fit it.
  const QFontMetrics bfm(Btn[0]->font());
  int widest = 0;
  for (int i = 0; i < n; ++i) widest = std::max(widest, bfm.horizontalAdvance(texts[i + 2]));
  const int w = widest + 6 + kButtonFrame;
  for (int i = 1; i < 4; ++i) Btn[i]->setVisible(i < n);
  int clientWidth = kClientWidth;
  if (clientWidth < w + 12) clientWidth = w + 12;

  // The box grows until every line of the question fits unwrapped (a long file
  // name has no blank to break at), but never beyond the screen.
  const QFontMetrics lfm(lblQuerry->font());
  int widestLine = 0;
  for (const QString& line : texts[1].split(QLatin1Char('\n')))
    widestLine = std::max(widestLine, lfm.boundingRect(QRect(0, 0, 100000, 1000), Qt::TextExpandTabs, line).width() + 2);
  clientWidth = std::max(clientWidth, std::min(kLabelLeft + widestLine + 5, MaxWidth()));

  // The question keeps 5 pixels of margin on the right; its wrapped height pushes the buttons down.
  const int labelWidth = clientWidth - 5 - kLabelLeft;
  const QRect r = lfm.boundingRect(QRect(0, 0, labelWidth, 100000),
                                   Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextExpandTabs, texts[1]);
  const int labelHeight = std::max(r.height(), lfm.height());
  lblQuerry->setGeometry(kLabelLeft, kLabelTop, labelWidth, labelHeight);
  lblQuerry->setText(texts[1]);
  const int labelBottom = kLabelTop + labelHeight;
  int shift = 0;
  if (labelBottom > kIconTop + kIconSize) {
    shift = labelBottom - kButtonTops[0] + 5;
    imgIcon->move(kIconLeft, (labelBottom - kIconSize) / 2);
  } else {
    imgIcon->move(kIconLeft, kIconTop);
  }

  for (int i = 0; i < 4; ++i) {
    QPushButton* b = Btn[i];
    b->setGeometry((clientWidth - w) / 2, kButtonTops[i] + shift, w, kButtonHeight);
    b->setDefault(i + 1 == defaultButton);
    if (i < n) b->setText(texts[i + 2]);
  }
  if (defaultButton > 0) Btn[defaultButton - 1]->setFocus();
  escButton_ = escButton;

  const int height = n == 4 ? kButtonTops[3] + shift + kButtonHeight + 5 : kButtonTops[n] + shift - 1;
  setFixedSize(clientWidth, height);
  return true;
}

int TmbxMC::MaxWidth() const {
  const QWidget* asker = parentWidget() ? parentWidget()->window() : nullptr;
  const QScreen* screen = asker ? asker->screen() : QGuiApplication::primaryScreen();
  // Room for the window frame that the window system adds around the box.
  return screen ? screen->availableGeometry().width() - 16 : 1024;
}

void TmbxMC::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Centred over the window that asked, kept on its screen.
  if (const QWidget* asker = parentWidget() ? parentWidget()->window() : nullptr) {
    QRect r = frameGeometry();
    r.moveCenter(asker->frameGeometry().center());
    if (const QScreen* screen = asker->screen()) {
      const QRect avail = screen->availableGeometry();
      r.moveLeft(std::clamp(r.left(), avail.left(), std::max(avail.left(), avail.right() - r.width())));
      r.moveTop(std::clamp(r.top(), avail.top(), std::max(avail.top(), avail.bottom() - r.height())));
    }
    move(r.topLeft());
  }
}

void TmbxMC::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    // Without an Esc button the key does nothing: only a button or the close control ends the box.
    if (escButton_ > 0) Btn[escButton_ - 1]->click();
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TmbxMC::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  p.fillRect(QRect(0, 0, width(), Btn[0]->y() - 3), palette().color(QPalette::Base));
  QDialog::paintEvent(e);
}

int ShowChoiceBox(QWidget* owner, const QStringList& texts, int icon, int defaultButton, int escButton) {
  TmbxMC box(owner);
  if (!box.Prepare(texts, icon, defaultButton, escButton)) return 0;
  const int r = box.exec();
  if (r != QDialog::Rejected) return r;
  // Closed by the title-bar control: the way out the box offers by Esc, when it has one.
  return escButton > 0 && !IsReaderQuestion(texts[0]) ? escButton : 2;
}

int ShowChoiceBox(QWidget* owner, const Question& q) {
  QStringList texts{DisplayText(q.title), DisplayText(q.text)};
  for (const auto& b : q.buttons) texts << DisplayText(b);
  return ShowChoiceBox(owner, texts, static_cast<int>(q.icon), q.defaultButton, q.escButton);
}

QWidget* TQtOperator::Asker() const {
  // A question raised inside the data check or the preview belongs over that window.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_;
}

int TQtOperator::Ask(const Question& q) { return ShowChoiceBox(Asker(), q); }

void TQtOperator::Message(const std::string& text) {
  QMessageBox box(Asker());
  box.setWindowTitle(QApplication::applicationDisplayName());
  box.setTextFormat(Qt::PlainText);
  box.setText(DisplayText(text));
  // A line is wrapped only when it would not fit on the screen: a saved file's
  // message breaks at its folder, not inside the phrase before it.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    const QScreen* screen = Asker() ? Asker()->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 3 / 4 : 800;
    int widest = 0;
    for (const QString& line : box.text().split(QLatin1Char('\n')))
      widest = std::max(widest, label->fontMetrics().horizontalAdvance(line) + 4);
    label->setMinimumWidth(std::min(widest, room));
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

}  // namespace tern

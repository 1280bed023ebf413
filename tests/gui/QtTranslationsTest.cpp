// Qt's own dialogs inside the desk: Russian texts from Qt's catalogues.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "QtTranslations.h"

using namespace tern;

TEST(QtTranslations, OpenDialogAndQuestionsSpeakRussian) {
  QObject owner;  // the catalogues leave with it, so the other tests see Qt's own texts
  ASSERT_TRUE(LoadQtTranslations(owner)) << QtTranslationsFolder().toStdString();

  QFileDialog dlg;
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setFileMode(QFileDialog::ExistingFile);
  // Each case: a label or button of the open dialog and the English text it must not show.
  struct Case { const char* name; const char* english; };
  const Case cases[] = {{"lookInLabel", "Look in:"}, {"fileNameLabel", "File &name:"}};
  for (const auto& c : cases) {
    auto* label = dlg.findChild<QLabel*>(QString::fromLatin1(c.name));
    ASSERT_NE(label, nullptr) << c.name;
    EXPECT_NE(label->text(), QString::fromLatin1(c.english)) << c.name;
    EXPECT_FALSE(label->text().contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}")))) << label->text().toStdString();
  }
  auto* box = dlg.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(box, nullptr);
  for (QAbstractButton* b : box->buttons())
    EXPECT_FALSE(b->text().contains(QRegularExpression(QStringLiteral("Open|Cancel")))) << b->text().toStdString();

  QMessageBox question(QMessageBox::Question, QStringLiteral("Продолжить работу?"), QStringLiteral("?"),
                       QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
  EXPECT_EQ(question.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
}

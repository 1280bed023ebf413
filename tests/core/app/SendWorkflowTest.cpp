// The send buttons end to end, headless: real files in a scratch station
// folder, the windows and the transports replaced by recording stand-ins.
#include "app/SendWorkflow.h"

#include <gtest/gtest.h>

#include "SendDeskFixture.h"
#include "app/TelegramFiles.h"
#include "base/Error.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

namespace tern {
namespace {

using test::ReadBytes;
using test::SendWorkflowTest;
using test::TempDir;
using test::WriteBytes;

const std::string kTtaaBody = "TTAA 55121 12345 99005 10658 27015 00134 09857 27516=\r\nNNNN";
const std::string kTtaaText = "USRS01 RUMS 051200\r\r\n" + kTtaaBody;

// --- text messages: one row per text mode ------------------------------------------

struct TextModeCase {
  const char* name;
  TextMode mode;
  std::function<void(SendWorkflowTest&)> check;
};

class TextModes : public SendWorkflowTest, public ::testing::WithParamInterface<TextModeCase> {};

TEST_P(TextModes, TtaaIsDeliveredAndRecorded) {
  settings.Spooling.Text = GetParam().mode;
  variables.Counters = {5, 6, 7, 8};
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Sent);
  GetParam().check(*this);
  EXPECT_EQ(Gts("AA"), "05.03.2024 14:20:30");
  EXPECT_EQ(Gts("BBB_AA"), "-");
  EXPECT_TRUE(Button(kSendTTAA).Struck);
  EXPECT_EQ(Button(kSendTTAA).Caption, "TTAA");
}

INSTANTIATE_TEST_SUITE_P(
    Send, TextModes,
    ::testing::Values(
        TextModeCase{"Clipboard", TextMode::Clipboard,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.desk.clipboard.size(), 1u);
                       EXPECT_EQ(t.desk.clipboard[0], kTtaaText);
                       EXPECT_EQ(t.op.messages.back(), cp("Сообщение TTAA скопировано в буфер обмена"));
                       EXPECT_FALSE(FileExists(t.TtaaFile()));
                     }},
        TextModeCase{"Folder", TextMode::SaveFolder,
                     [](SendWorkflowTest& t) {
                       EXPECT_EQ(ReadBytes(t.TtaaFile()), kTtaaText);
                       EXPECT_EQ(t.op.messages.back(),
                                 cp("Файл A_TTAARUMS051200_C_RUMS_202403051103_12345.txt сохранен в папку\r") +
                                     t.settings.Spooling.TextFolder);
                     }},
        TextModeCase{"Ftp", TextMode::FTP,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.ftp.size(), 1u);
                       // The upload carries the counters as they were before this send.
                       EXPECT_EQ(t.transports.ftp[0].FinalName, "234500000008.a");
                       EXPECT_NE(t.transports.ftp[0].Data.find("\r\r\n007\r\r\n" + kTtaaText), std::string::npos);
                       EXPECT_EQ(t.variables.Counters.TextBulletin, 8);
                       EXPECT_EQ(t.variables.Counters.TextFile, 9);
                       EXPECT_EQ(t.variables.Counters.BufrBulletin, 5);
                       EXPECT_TRUE(t.variables.Changed);
                     }},
        TextModeCase{"MailClient", TextMode::MAPI,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.handOffs.size(), 1u);
                       const tMailHandOff& m = t.transports.handOffs[0];
                       EXPECT_EQ(m.Subject, "TTAA 0512");
                       EXPECT_EQ(m.Body, kTtaaText);
                       EXPECT_EQ(m.SenderName, "12345");
                       EXPECT_EQ(m.To, (TextList{"a@example.org", "b@example.org"}));
                       EXPECT_EQ(m.Cc, TextList{"c@example.org"});
                       EXPECT_TRUE(m.Bcc.empty());
                       EXPECT_TRUE(m.Attachments.empty());
                       EXPECT_EQ(m.From, "station@example.org");
                       EXPECT_FALSE(t.workflow->MailInProgress);
                       EXPECT_EQ(t.variables.Counters.BufrBulletin, 5);
                     }},
        TextModeCase{"Smtp", TextMode::SMTP,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.smtp.size(), 1u);
                       EXPECT_TRUE(t.transports.smtp[0].TextMode);
                       EXPECT_EQ(t.transports.smtp[0].Subject, "TTAA 0512");
                       EXPECT_EQ(t.transports.smtp[0].Body, kTtaaText);
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextFailureCase {
  const char* name;
  TextMode mode;
  const char* message;  // utf-8
};

class TextFailures : public SendWorkflowTest, public ::testing::WithParamInterface<TextFailureCase> {};

// A message that did not leave must not look sent: no struck-out caption, no record.
TEST_P(TextFailures, UndeliveredMessageIsNotRecorded) {
  settings.Spooling.Text = GetParam().mode;
  transports.ftpResult = transports.smtpResult = false;
  transports.mailResult = 2;
  variables.Counters = {5, 6, 7, 8};
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Failed);
  if (*GetParam().message) {
    EXPECT_EQ(op.messages.back(), cp(GetParam().message));
  }
  EXPECT_FALSE(Button(kSendTTAA).Struck);
  EXPECT_FALSE(FileExists(SentFile()));
  // Only the file number was used up.
  EXPECT_EQ(variables.Counters.TextBulletin, 7);
  EXPECT_EQ(variables.Counters.TextFile, GetParam().mode == TextMode::FTP ? 9 : 8);
}

INSTANTIATE_TEST_SUITE_P(Send, TextFailures,
                         ::testing::Values(TextFailureCase{"Ftp", TextMode::FTP, ""},
                                           TextFailureCase{"Smtp", TextMode::SMTP, "Ошибка отправки.."},
                                           TextFailureCase{"MailClient", TextMode::MAPI, "Ошибка отправки!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendWorkflowTest, FailedMailHandOffEndsTheDeskWhenClosingWasAsked) {
  settings.Spooling.Text = TextMode::MAPI;
  transports.mailResult = 1;
  desk.closing = true;
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Failed);
  EXPECT_TRUE(desk.terminated);
  EXPECT_FALSE(workflow->MailInProgress);
}

TEST_F(SendWorkflowTest, TextBulletinNumberWrapsToOneAfterUpload) {
  settings.Spooling.Text = TextMode::FTP;
  variables.Counters.TextBulletin = 999;
  variables.Counters.TextFile = 99999999;
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(variables.Counters.TextBulletin, 1);
  EXPECT_EQ(variables.Counters.TextFile, 1);
}

// --- the text sequence: build failures, preview, saved copies ------------------------

TEST_F(SendWorkflowTest, BuildFailureStopsWithItsText) {
  DeleteFileAt(dir / "kn04.txt");
  settings.Spooling.Text = TextMode::Clipboard;
  EXPECT_EQ(Workflow().btnSendClick(kSendTTCC), SendOutcome::Stopped);
  EXPECT_EQ(op.messages, (std::vector<std::string>{cp("Файл KN4 не найден!")}));
  EXPECT_TRUE(desk.clipboard.empty());
  EXPECT_FALSE(FileExists(SentFile()));
}

TEST_F(SendWorkflowTest, PreviewShowsTheBulletinAndSendsTheEditedText) {
  options.DisplayTLG = true;
  options.EditTLG = true;
  options.SaveTLG = true;
  settings.Spooling.Text = TextMode::Clipboard;
  desk.edited = "EDITED\r\nNNNN";
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Sent);
  ASSERT_EQ(desk.previews.size(), 1u);
  EXPECT_EQ(desk.previews[0].text, kTtaaText);
  EXPECT_EQ(desk.previews[0].caption, cp("Телеграмма:TTAA"));
  EXPECT_EQ(desk.previews[0].okCaption, cp("Отправить"));
  EXPECT_FALSE(desk.previews[0].readOnly);
  EXPECT_EQ(ReadBytes(TtaaFile()), "EDITED\r\nNNNN");
  EXPECT_EQ(desk.clipboard, std::vector<std::string>{"EDITED\r\nNNNN"});
}

TEST_F(SendWorkflowTest, RefusedPreviewStopsBeforeSavingAndSending) {
  options.DisplayTLG = true;
  options.EditTLG = false;
  options.SaveTLG = true;
  settings.Spooling.Text = TextMode::Clipboard;
  desk.accept = false;
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Stopped);
  ASSERT_EQ(desk.previews.size(), 1u);
  EXPECT_TRUE(desk.previews[0].readOnly);
  EXPECT_FALSE(FileExists(TtaaFile()));
  EXPECT_TRUE(desk.clipboard.empty());
  EXPECT_FALSE(Button(kSendTTAA).Struck);
}

struct ExistingCase {
  const char* name;
  int answer;
  SendOutcome outcome;
  bool rebuilt;  // a new text went out (and replaced the saved one)
};

class ExistingBulletin : public SendWorkflowTest, public ::testing::WithParamInterface<ExistingCase> {};

TEST_P(ExistingBulletin, QuestionDecidesBetweenNewSavedAndNothing) {
  options.DisplayTLG = true;
  options.SaveTLG = true;
  settings.Spooling.Text = TextMode::Clipboard;
  SaveTelegram(TtaaFile(), "STORED\r\nNNNN");
  op.Push(GetParam().answer);
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), GetParam().outcome);

  ASSERT_EQ(op.asked.size(), 1u);
  const Question& q = op.asked[0];
  EXPECT_EQ(q.title, cp("Файл уже существует"));
  EXPECT_EQ(q.text, "A_TTAARUMS051200_C_RUMS_202403051103_12345.txt");
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Создать новый"), cp("Использовать существующий"),
                                                 cp("Отменить отправку TTAA")}));
  EXPECT_EQ(q.icon, BoxIcon::Question);
  EXPECT_EQ(q.defaultButton, 1);
  EXPECT_EQ(q.escButton, 3);

  if (GetParam().outcome == SendOutcome::Stopped) {
    EXPECT_TRUE(desk.clipboard.empty());
    EXPECT_TRUE(desk.previews.empty());
    EXPECT_EQ(ReadBytes(TtaaFile()), "STORED\r\nNNNN");
    return;
  }
  const std::string sent = GetParam().rebuilt ? kTtaaText : "STORED\r\nNNNN";
  EXPECT_EQ(desk.clipboard, std::vector<std::string>{sent});
  EXPECT_EQ(ReadBytes(TtaaFile()), sent);
  // A reused text is sent as stored: no preview.
  EXPECT_EQ(desk.previews.size(), GetParam().rebuilt ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Send, ExistingBulletin,
                         ::testing::Values(ExistingCase{"CreateNew", 1, SendOutcome::Sent, true},
                                           ExistingCase{"UseExisting", 2, SendOutcome::Sent, false},
                                           ExistingCase{"Cancel", 3, SendOutcome::Stopped, false},
                                           ExistingCase{"BoxClosed", 0, SendOutcome::Stopped, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendWorkflowTest, FolderModeAsksAboutCopiesEvenWithoutSaveOption) {
  settings.Spooling.Text = TextMode::SaveFolder;
  SaveTelegram(TtaaFile(), "STORED");
  op.Push(2);
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(op.asked.size(), 1u);
  // Reused: not saved again, so no folder message either.
  EXPECT_TRUE(op.messages.empty());
  EXPECT_EQ(ReadBytes(TtaaFile()), "STORED");
}

// --- the sent-messages file ----------------------------------------------------------

TEST_F(SendWorkflowTest, ResendWithIndicatorRecordsItAndCaption) {
  settings.Spooling.Text = TextMode::Clipboard;
  TSendWorkflow& w = Workflow();
  ASSERT_EQ(w.btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(Gts("BBB_AA"), "-");

  panel.BBB = "CCA";
  w.Clock = [] { return EncodeDateTime(2024, 3, 5, 15, 0, 0); };
  ASSERT_EQ(w.btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(Gts("AA"), "05.03.2024 15:00:00");
  EXPECT_EQ(Gts("BBB_AA"), "CCA");
  EXPECT_EQ(Button(kSendTTAA).Caption, "TTAA-CCA");
  EXPECT_EQ(desk.clipboard.back().substr(0, 25), "USRS01 RUMS 051200 CCA \r\r");

  // Sent again without an indicator: the old one must not linger.
  panel.BBB.clear();
  ASSERT_EQ(w.btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(Gts("BBB_AA"), "-");
}

TEST_F(SendWorkflowTest, MetadataGoesToTheSentFileWithTtbbButNotWithTtaa) {
  settings.Spooling.Text = TextMode::Clipboard;
  TSendWorkflow& w = Workflow();
  panel.SondeId = "123456";
  panel.Number = 77;
  panel.MetaChangedSinceSend = true;
  ASSERT_EQ(w.btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_EQ(TMyIniFile(SentFile()).ReadString("Ascent", "RS", "-"), "-");
  EXPECT_TRUE(panel.MetaChangedSinceSend);

  ASSERT_EQ(w.btnSendClick(kSendTTBB), SendOutcome::Sent);
  EXPECT_EQ(TMyIniFile(SentFile()).ReadString("Ascent", "RS", "-"), "123456");
  EXPECT_EQ(TMyIniFile(SentFile()).ReadInteger("Ascent", "number", 0), 77);
  EXPECT_FALSE(panel.MetaChangedSinceSend);
  EXPECT_EQ(Gts("BB"), "05.03.2024 14:20:30");
}

TEST_F(SendWorkflowTest, BbbCaptionTurnsBlueOnceTheResentMessagesAreSettled) {
  settings.Spooling.Text = TextMode::Clipboard;
  TSendWorkflow& w = Workflow();
  panel.BBBCaption = Ink::Red;
  panel.Send[kSendBufrI - 1].Colour = Ink::Red;
  w.MarkSent(kSendTTBB);
  EXPECT_EQ(panel.BBBCaption, Ink::Red);  // BUFR I still waits for its re-send
  w.MarkSent(kSendBufrI);
  EXPECT_EQ(panel.BBBCaption, Ink::Blue);
  EXPECT_EQ(Button(kSendBufrI).Colour, Ink::Black);
}

// --- BUFR messages -------------------------------------------------------------------

struct BufrModeCase {
  const char* name;
  BufrMode mode;
  std::function<void(SendWorkflowTest&)> check;
};

class BufrModes : public SendWorkflowTest, public ::testing::WithParamInterface<BufrModeCase> {};

TEST_P(BufrModes, BufrIIsEncodedDeliveredAndRecorded) {
  settings.Spooling.Bufr = GetParam().mode;
  variables.Counters = {5, 6, 7, 8};
  TSendWorkflow& w = Workflow();
  w.BufrNotSent = true;
  EXPECT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Sent);
  EXPECT_EQ(ascent.BufrFileName, dir / "A_IUKN01051200_C_RUMS_202403051103_12345.bin");
  ASSERT_TRUE(FileExists(ascent.BufrFileName));
  EXPECT_EQ(ReadBytes(ascent.BufrFileName).substr(0, 4), "BUFR");
  EXPECT_EQ(ascent.BulletinNo, "005");
  GetParam().check(*this);
  EXPECT_EQ(variables.Counters.BufrBulletin, 6);
  EXPECT_EQ(Gts("AB"), "05.03.2024 14:20:30");
  EXPECT_TRUE(Button(kSendBufrI).Struck);
  EXPECT_FALSE(w.BufrNotSent);
}

INSTANTIATE_TEST_SUITE_P(
    Send, BufrModes,
    ::testing::Values(
        BufrModeCase{"KeepFile", BufrMode::KeepFile,
                     [](SendWorkflowTest& t) {
                       EXPECT_EQ(t.op.messages.back(), cp("A_IUKN01051200_C_RUMS_202403051103_12345\rсохранен"));
                     }},
        BufrModeCase{"CopyFolder", BufrMode::CopyFolder,
                     [](SendWorkflowTest& t) {
                       const std::string copy =
                           t.dir / "BUFRCOPY/2024/03/A_IUKN01051200_C_RUMS_202403051103_12345.bin";
                       EXPECT_EQ(ReadBytes(copy), ReadBytes(t.ascent.BufrFileName));
                       EXPECT_EQ(t.op.messages.back(),
                                 cp("Файл A_IUKN01051200_C_RUMS_202403051103_12345.bin скопирован в папку\r") +
                                     t.settings.Spooling.BufrFolder);
                     }},
        BufrModeCase{"Ftp", BufrMode::FTP,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.ftp.size(), 1u);
                       EXPECT_EQ(t.transports.ftp[0].FinalName, "234500000006.b");
                       EXPECT_EQ(t.transports.ftp[0].Data.substr(10), ReadBytes(t.ascent.BufrFileName));
                       EXPECT_EQ(t.variables.Counters.BufrFile, 7);
                     }},
        BufrModeCase{"MailClient", BufrMode::MAPI,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.handOffs.size(), 1u);
                       const tMailHandOff& m = t.transports.handOffs[0];
                       EXPECT_EQ(m.Subject, "BUFR 20240305");
                       EXPECT_EQ(m.Body, "");
                       EXPECT_EQ(m.Attachments, TextList{t.ascent.BufrFileName});
                       EXPECT_EQ(m.To, TextList{"bin@example.org"});
                     }},
        BufrModeCase{"Smtp", BufrMode::SMTP,
                     [](SendWorkflowTest& t) {
                       ASSERT_EQ(t.transports.smtp.size(), 1u);
                       EXPECT_FALSE(t.transports.smtp[0].TextMode);
                       EXPECT_EQ(t.transports.smtp[0].Subject, "BUFR 20240305");
                       EXPECT_EQ(t.transports.smtp[0].Body, t.ascent.BufrFileName);
                       EXPECT_EQ(t.variables.Counters.BufrFile, 6);
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendWorkflowTest, FailedBufrUploadUsesBothNumbersButIsNotRecorded) {
  settings.Spooling.Bufr = BufrMode::FTP;
  transports.ftpResult = false;
  variables.Counters = {5, 6, 7, 8};
  TSendWorkflow& w = Workflow();
  w.BufrNotSent = true;
  EXPECT_EQ(w.btnSendClick(kSendBufrII), SendOutcome::Failed);
  EXPECT_EQ(variables.Counters.BufrBulletin, 6);
  EXPECT_EQ(variables.Counters.BufrFile, 7);
  EXPECT_FALSE(Button(kSendBufrII).Struck);
  EXPECT_TRUE(w.BufrNotSent);
  EXPECT_FALSE(FileExists(SentFile()));
}

TEST_F(SendWorkflowTest, FailedBufrMailIsNotCountedNorRecorded) {
  for (BufrMode mode : {BufrMode::SMTP, BufrMode::MAPI}) {
    settings.Spooling.Bufr = mode;
    transports.smtpResult = false;
    transports.mailResult = 3;
    variables.Counters.BufrBulletin = 5;
    EXPECT_EQ(Workflow().btnSendClick(kSendBufrI), SendOutcome::Failed);
    EXPECT_EQ(variables.Counters.BufrBulletin, 5);
    EXPECT_FALSE(FileExists(SentFile()));
    DeleteFileAt(ascent.BufrFileName);
  }
}

TEST_F(SendWorkflowTest, BufrBulletinNumberWrapsToZero) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  variables.Counters.BufrBulletin = 999;
  EXPECT_EQ(Workflow().btnSendClick(kSendBufrII), SendOutcome::Sent);
  EXPECT_EQ(ascent.BulletinNo, "999");
  EXPECT_EQ(variables.Counters.BufrBulletin, 0);
  EXPECT_EQ(ascent.BufrFileName, dir / "A_IUSN01051200_C_RUMS_202403051103_12345.bin");
  EXPECT_EQ(Gts("CD"), "05.03.2024 14:20:30");
}

TEST_F(SendWorkflowTest, BufrCopyFailureIsReportedAndStillCounts) {
  settings.Spooling.Bufr = BufrMode::CopyFolder;
  WriteBytes(dir / "blocked", "x");
  settings.Spooling.BufrFolder = dir / "blocked/";
  EXPECT_EQ(Workflow().btnSendClick(kSendBufrI), SendOutcome::Sent);
  EXPECT_EQ(op.messages.back(), cp("Ошибка копирования в папку:") + settings.Spooling.BufrFolder);
  EXPECT_TRUE(Button(kSendBufrI).Struck);
}

TEST_F(SendWorkflowTest, IndicatorGivesUpdateSequenceAndHeading) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  TSendWorkflow& w = Workflow();
  const struct {
    const char* bbb;
    uint16_t seq;
  } rows[] = {{"CCB", 2}, {"CCZ", 26}, {"RRA", 0}, {"", 0}};
  for (const auto& r : rows) {
    panel.BBB = r.bbb;
    ASSERT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Sent) << r.bbb;
    EXPECT_EQ(ascent.UpdateSeq, r.seq) << r.bbb;
    EXPECT_EQ(ascent.Heading, std::string("IUKN01 051200") + (*r.bbb ? " " : "") + r.bbb) << r.bbb;
    EXPECT_EQ(Gts("BBB_AB"), *r.bbb ? r.bbb : "-");
  }
}

TEST_F(SendWorkflowTest, ExtendedMetadataReachesTheAscent) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  ascent.ExtMeta = 1;
  ascent.TerminationCodes.push_back({});
  ascent.TerminationCodes.back().Code = 4;
  TSendWorkflow& w = Workflow();
  panel.SondeId = "A1234";
  panel.Number = 42;
  panel.Repeated = 1;
  panel.ObserverText = "ABCD";
  panel.Train = 25;
  panel.Lift = 1.5;
  panel.Termination.Index = 0;
  ASSERT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Sent);
  EXPECT_EQ(ascent.Meta.SondeSerial, "A1234");
  EXPECT_EQ(ascent.Meta.AscentNo, 42);
  EXPECT_EQ(ascent.Meta.ReleasePoint, 2);
  EXPECT_EQ(ascent.Meta.TrainLength, 25);
  EXPECT_EQ(ascent.Meta.GasAmount, 1.5);
  EXPECT_NE(ascent.Meta.Termination, 4);  // only BUFR II carries the termination
  ASSERT_EQ(w.btnSendClick(kSendBufrII), SendOutcome::Sent);
  EXPECT_EQ(ascent.Meta.Termination, 4);
}

TEST_F(SendWorkflowTest, RadiosondeCodesMustApply) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  TSendWorkflow& w = Workflow();
  panel.RaRa.Index = -1;
  EXPECT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Stopped);
  EXPECT_EQ(op.messages, std::vector<std::string>{cp("Ошибка задания кодов радиозондов")});
  EXPECT_FALSE(FileExists(ascent.BufrFileName));
}

struct ExistingBufrCase {
  const char* name;
  int answer;
  SendOutcome outcome;
  int loads;  // the data read again for a new file
};

class ExistingBufr : public SendWorkflowTest, public ::testing::WithParamInterface<ExistingBufrCase> {};

TEST_P(ExistingBufr, QuestionDecidesBetweenNewExistingAndNothing) {
  settings.Spooling.Bufr = BufrMode::SMTP;
  options.ViewDATA = true;
  TSendWorkflow& w = Workflow();
  WriteBytes(dir / "A_IUKN01051200_C_RUMS_202403051103_12345.bin", "OLD");
  op.Push(GetParam().answer);
  EXPECT_EQ(w.btnSendClick(kSendBufrI), GetParam().outcome);
  ASSERT_EQ(op.asked.size(), 1u);
  EXPECT_EQ(op.asked[0].buttons[2], cp("Отменить отправку BUFR"));
  EXPECT_EQ(op.asked[0].text, "A_IUKN01051200_C_RUMS_202403051103_12345.bin");
  EXPECT_EQ(ascent.loads, GetParam().loads);
  EXPECT_EQ(desk.viewerReadOnly.size(), static_cast<size_t>(GetParam().loads));
  const std::string content = ReadBytes(ascent.BufrFileName);
  EXPECT_EQ(GetParam().loads ? content.substr(0, 4) : content, GetParam().loads ? "BUFR" : "OLD");
  EXPECT_EQ(transports.smtp.size(), GetParam().outcome == SendOutcome::Sent ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Send, ExistingBufr,
                         ::testing::Values(ExistingBufrCase{"CreateNew", 1, SendOutcome::Sent, 1},
                                           ExistingBufrCase{"UseExisting", 2, SendOutcome::Sent, 0},
                                           ExistingBufrCase{"Cancel", 3, SendOutcome::Stopped, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendWorkflowTest, ViewerAndLoadingCanStopTheBufrSend) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  options.ViewDATA = true;
  options.EditDATA = false;
  desk.viewerAccepts = false;
  EXPECT_EQ(Workflow().btnSendClick(kSendBufrII), SendOutcome::Stopped);
  EXPECT_EQ(desk.viewerReadOnly, std::vector<bool>{true});
  EXPECT_FALSE(FileExists(ascent.BufrFileName));

  ascent.loadable = false;
  EXPECT_EQ(workflow->btnSendClick(kSendBufrII), SendOutcome::Stopped);
  EXPECT_EQ(desk.viewerReadOnly.size(), 1u);  // not shown for data that did not load
  EXPECT_TRUE(op.messages.empty());           // silently
  EXPECT_FALSE(FileExists(SentFile()));
}

TEST_F(SendWorkflowTest, ValuesTheMessageCannotCarryAreShownBeforeTheFileIsWritten) {
  settings.Spooling.Bufr = BufrMode::KeepFile;
  ascent.ExtMeta = 2;
  ascent.Meta.AntennaHeight = 255;
  TSendWorkflow& w = Workflow();
  panel.Lift = 9.5;
  // Closing the box cancels, as the default button and Esc do.
  EXPECT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Stopped);
  ASSERT_EQ(op.asked.size(), 1u);
  const Question& q = op.asked[0];
  EXPECT_EQ(q.title, cp("Значения не помещаются в BUFR"));
  EXPECT_EQ(q.text, cp("Сообщение BUFR не может передать эти значения:\r"
                       "высота антенны: 255 м (пределы 0..254 м)\r"
                       "подъёмная сила: 9.500 кг (пределы 0.000..8.190 кг)\r"
                       "Передать их как отсутствующие?"));
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Передать как отсутствующие"), cp("Отменить отправку BUFR")}));
  EXPECT_EQ(q.defaultButton, 2);
  EXPECT_EQ(q.escButton, 2);
  EXPECT_FALSE(FileExists(ascent.BufrFileName));
  EXPECT_FALSE(Button(kSendBufrI).Struck);

  op.Push(1);
  EXPECT_EQ(w.btnSendClick(kSendBufrI), SendOutcome::Sent);
  EXPECT_TRUE(FileExists(ascent.BufrFileName));
}

}  // namespace
}  // namespace tern

namespace tern::test {
namespace {

// A mail client that only opens its compose window cannot say whether the
// message went: the operator is asked, and only "Да" records the send.
struct MailQuestionCase {
  const char* name;
  int tag;
  int answer;  // 1 "Да", 2 "Нет" (also Esc and the closed box)
  bool sent;
};

class MailClientQuestion : public SendWorkflowTest, public ::testing::WithParamInterface<MailQuestionCase> {};

TEST_P(MailClientQuestion, OnlyYesMarksTheMessageSent) {
  const MailQuestionCase& c = GetParam();
  settings.Spooling.Text = TextMode::MAPI;
  settings.Spooling.Bufr = BufrMode::MAPI;
  transports.mailReports = false;
  variables.Counters = {5, 6, 7, 8};
  op.Push(c.answer);
  const bool bufr = c.tag == kSendBufrI;
  EXPECT_EQ(Workflow().btnSendClick(c.tag), c.sent ? SendOutcome::Sent : SendOutcome::Failed);

  ASSERT_EQ(transports.handOffs.size(), 1u);
  ASSERT_EQ(op.asked.size(), 1u);
  const Question& q = op.asked[0];
  EXPECT_EQ(q.title, cp("Запрос"));
  EXPECT_EQ(q.text, cp("Почтовая программа отправила сообщение ") + (bufr ? "BUFR1" : "TTAA") + "?");
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Да"), cp("Нет")}));
  EXPECT_EQ(q.icon, BoxIcon::Question);
  EXPECT_EQ(q.escButton, 2);
  EXPECT_EQ(Button(c.tag).Struck, c.sent);
  EXPECT_EQ(FileExists(SentFile()), c.sent);
  EXPECT_EQ(variables.Counters.BufrBulletin, bufr && c.sent ? 6 : 5);
  EXPECT_TRUE(op.messages.empty());  // a draft the operator kept is no error
  EXPECT_FALSE(workflow->MailInProgress);
}

INSTANTIATE_TEST_SUITE_P(Send, MailClientQuestion,
                         ::testing::Values(MailQuestionCase{"TextYes", kSendTTAA, 1, true},
                                           MailQuestionCase{"TextNo", kSendTTAA, 2, false},
                                           MailQuestionCase{"BufrYes", kSendBufrI, 1, true},
                                           MailQuestionCase{"BufrNo", kSendBufrI, 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A client that reports its outcome is believed without a question.
TEST_F(SendWorkflowTest, MailClientThatReportsItsOutcomeIsNotQuestioned) {
  settings.Spooling.Text = TextMode::MAPI;
  transports.mailReports = true;
  EXPECT_EQ(Workflow().btnSendClick(kSendTTAA), SendOutcome::Sent);
  EXPECT_TRUE(op.asked.empty());
  EXPECT_TRUE(Button(kSendTTAA).Struck);
}

}  // namespace
}  // namespace tern::test

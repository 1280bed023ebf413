#pragma once
// The rules of the ascent's metadata panel and its BBB panel, kept apart from
// the widgets: which inputs are required, missing, changed or settled, how each
// input is normalised, what a reopened ascent restores from its sent-messages
// file and when each send button may be pressed. The window only shows this
// state and forwards the operator's edits.
#include <array>
#include <string>

#include "app/DeskOptions.h"
#include "base/Operator.h"
#include "base/Text.h"

namespace tern {

class TUAMessage;

enum class Ink { Black, Red, Blue, Grey };

// Inputs of the metadata panel, numbered as ValidateInfo knows them.
enum InfoTag {
  kInfoNumber = 1, kInfoRepeated, kInfoObserver, kInfoRaRa, kInfoSerial,
  kInfoBalloon, kInfoGas, kInfoLift, kInfoTrain, kInfoTermination
};
constexpr int kInfoTagCount = 10;

// Send buttons by message tag - 1: TTAA, TTBB, TTCC, TTDD, layer, surface layer, BUFR I, BUFR II.
enum SendTag { kSendTTAA = 1, kSendTTBB, kSendTTCC, kSendTTDD, kSendLayer, kSendPriz, kSendBufrI, kSendBufrII };
constexpr int kSendCount = 8;
// Key of a message in the sent-messages file ("AA", "BB", ... "CD").
const char* SentKey(int sendTag);

struct tSendButton {
  std::string Base;     // the caption of an unsent message
  std::string Caption;
  bool Enabled = false;
  bool Struck = false;  // already sent
  Ink Colour = Ink::Black;
};

struct tPick {
  TextList Items;
  int Index = -1;  // -1: nothing chosen
  bool Chosen() const { return Index >= 0 && Index < static_cast<int>(Items.size()); }
};

// Spin limits of the numeric inputs.
struct tSpinLimits { double Min, Max; };
constexpr tSpinLimits kNumberLimits{0, 1500};
constexpr tSpinLimits kLiftLimits{0.2, 10};
constexpr tSpinLimits kTrainLimits{5, 80};

class TAscentPanel {
 public:
  // Fixes the options and the ascent object for the run and fills the pick lists from it.
  void Configure(const TDeskOptions& options, TUAMessage& ascent, IOperator& op);
  const TDeskOptions& Options() const { return opt_; }

  // --- what the operator sees and edits ----------------------------------
  int Number = 1500;
  bool NumberEnabled = false;  // until the first ascent is loaded
  int Repeated = 0;            // 0 "Нет", 1 "Да", -1 none
  TextList Observers;          // sorted
  std::string ObserverText;
  tPick RaRa, Balloon, Gas, Termination;
  std::string SondeId;
  double Lift = 1.1;   // kg
  double Train = 20;   // m
  std::string Label61616 = "61616 00000";
  bool Relevant61616 = true;  // shown bold blue when relevant, plain grey otherwise

  bool IncludeBBB = false;
  bool CCx = true;     // else RRx
  int BBBLetter = 0;   // 0 = 'A'
  std::string BBB;     // the resulting indicator
  bool RRxEnabled = false;
  bool BBBInputsEnabled = false;
  Ink BBBCaption = Ink::Black;

  std::array<Ink, kInfoTagCount + 1> LabelInk{};  // by tag
  std::array<Ink, kInfoTagCount + 1> InputInk{};  // by tag
  Ink InfoCaption = Ink::Black;
  std::string AscentLabel;
  Ink AscentInk = Ink::Black;
  std::array<tSendButton, kSendCount> Send{};  // by send tag - 1
  std::string LayerCaption = cp("СЛОЙ");       // with the layer shift when it is on

  // --- state ----------------------------------------------------------------
  std::array<bool, kInfoTagCount + 1> Ok{};  // check flags by tag
  bool EventsActive = false;
  bool Changed = false;
  bool VariablesChanged = false;
  bool MetaChangedSinceSend = false;
  bool Loaded = false;
  int LastAscentNo = 1;  // from the ascent variables

  bool InputEnabled(int tag) const;
  bool ObserverSelected() const { return ComboIndexOf(Observers, ObserverText) >= 0; }

  // --- operations -------------------------------------------------------------
  // Opens the ascent and fills the panel; false when the reader could not open it.
  bool LoadAscent(const std::string& path);
  // The ".GTS" file of the loaded ascent; false when there is none.
  bool RestoreFromSentFile();
  std::string SentFileName() const;
  int DefaultAscentNumber() const;
  void ValidateInfo(int tag);
  // Change event of an input: marks it changed, validates, remembers the edit.
  void OnInfoChange(int tag);
  // Click or focus on an input: validates without the changed mark.
  void OnInfoClick(int tag);
  void CbxBBBClick();
  void DelObserverClick();
  // A sent message: struck-out caption with the BBB it went with.
  void MarkSentCaption(int sendTag, const std::string& bbb);
  // Adds initials to the sorted list unless present.
  void AddObserver(const std::string& initials);

  // Normalisation rules, shared with the headless entry points.
  static std::string NormaliseObserver(const std::string& text);
  static std::string NormaliseSerial(const std::string& text);

 private:
  void ResetButtons();
  void ResetFlags();
  void CheckRadiosondeCode(uint8_t stored, bool restored);
  void AfterValidate(int tag, bool wasChanged, bool ttbbResend);
  std::string DisplayName() const;

  TDeskOptions opt_;
  TUAMessage* ascent_ = nullptr;
  IOperator* op_ = nullptr;
};

}  // namespace tern

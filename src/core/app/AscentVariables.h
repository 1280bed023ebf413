#pragma once
// The workstation's memory between ascents (ASCVAR.CNF) and the record of what
// was sent for one ascent (its sent-messages file, extension ".GTS"). Both are
// settings files; every write goes through TMyIniFile and so is atomic.
#include <string>

#include "base/DateTime.h"
#include "base/Operator.h"
#include "base/Text.h"
#include "app/AscentPanel.h"
#include "sounding/UAMessage.h"

namespace tern {

// The operator's metadata as the panel holds it. A list index of -1 means
// nothing is selected.
struct tAscentChoices {
  int Number = 1;  // ascent number in the year
  bool Repeated = false;
  int RaRa = -1;
  int Balloon = -1;
  int Gas = -1;
  int Termination = -1;
  double Lift = 1.1;    // kg
  double Train = 20.0;  // m
  std::string Serial;
  std::string Observer;
};

// Lengths of the pick lists, for folding stored indexes into them.
struct tListSizes {
  int RaRa = 0;
  int Balloon = 0;
  int Gas = 0;
  int Termination = 0;
};

struct tMessageCounters {
  int BufrBulletin = 0;  // 0..999
  int BufrFile = 0;      // 0..99999999
  int TextBulletin = 0;  // 0..999
  int TextFile = 0;      // 0..99999999
};

enum class VariablesForm {
  Variables,  // ASCVAR.CNF at closing
  Sent        // the metadata part of an ascent's sent-messages file
};

// Absolute value folded into 0..modulus-1; safe for every int.
int FoldAbs(int value, int modulus);
// An index restored into a list of the given length; -1 when the list is empty.
int FoldIndex(int value, int length);

class TAscentVariables {
 public:
  tAscentChoices Choices;
  tMessageCounters Counters;
  int LastNumber = 1;       // number of the last ascent sent, 1..1499
  TDateTime LastTime = 0;   // its launch time
  TextList Observers;
  bool Changed = false;     // something worth writing at closing

  // Reads ASCVAR.CNF (a missing file gives every default). With a pick-only
  // observer list (observerOn false) an empty list is fatal and its first
  // entry is chosen.
  void LoadAscentVariables(const std::string& file, const tListSizes& sizes, bool observerOn);
  // Writes the variables form (ASCVAR.CNF) or the sent form (the ascent's
  // ".GTS") in the fixed key order. The variables form moves the last ascent
  // forward only for an ascent launched later, to the whole second.
  void SaveAscentVariables(const std::string& file, VariablesForm form, const TUAMessage& ascent);

  // Closing: when something changed, the variables form, the observer list
  // (when the operator may type new initials) and the corrections reminder.
  void SaveAtClosing(const std::string& file, const TUAMessage& ascent, bool observerOn, IOperator& op,
                     TDateTime now);

  // Puts the restored choices, the last ascent number and the observer list
  // into the panel at start-up (no termination reason is chosen).
  void ApplyTo(TAscentPanel& panel, bool observerOn) const;
  // Takes the panel's choices and observer list back before closing; an edit
  // made there counts as a change.
  void TakeFrom(const TAscentPanel& panel);

  // Counter steps of the send workflow; each marks the variables changed.
  void AdvanceBufrBulletin();  // 999 -> 0
  void AdvanceBufrFile();      // 99999999 -> 1
  void AdvanceTextBulletin();  // 999 -> 1
  void AdvanceTextFile();      // 99999999 -> 1
};

// Reminds the operator of the antenna azimuth and elevation corrections of
// tracking systems (codes 3..7), keeping its state in section [AZEL] of file.
void CorrectionsReminder(const std::string& file, const TUAMessage& ascent, IOperator& op, TDateTime now);

// Records one send of a message (send tag 1..8) in the ascent's sent-messages
// file at local time now, with the BBB indicator it went with.
void RecordSend(const std::string& sentFile, int sendTag, const std::string& bbb, TDateTime now);

// The metadata panel's current choices, as the variables files store them.
tAscentChoices ChoicesOf(const TAscentPanel& panel);

}  // namespace tern

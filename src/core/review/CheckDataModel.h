#pragma once
// The data check without its window: the operator's working rejection masks,
// the rejection operation, the edit-file questions on opening and the confirm
// and close checks. The viewer window only draws this state.
#include <string>
#include <vector>

#include "base/Operator.h"
#include "review/ProfileTable.h"
#include "review/QualityControl.h"
#include "sounding/Records.h"

namespace tern {

class TUAMessage;

enum class RejectMode { Reject, Accept, Toggle };

// Tags of the rejection buttons (F2..F7).
enum RejectTag { kTagLevel = 1, kTagT = 2, kTagTd = 3, kTagH = 4, kTagW = 5, kTagXY = 6 };

// Shift rejects, Ctrl accepts, both toggle; otherwise the mode box decides.
RejectMode ModeForKeys(bool shift, bool ctrl, RejectMode boxMode);
// The first character of the rejection buttons' captions for a mode.
std::string ModeSign(RejectMode mode);

class CheckDataModel {
 public:
  CheckDataModel(TUAMessage& ascent, bool readOnly);

  // Asks about saved edit files and loads the chosen one. False: the operator
  // cancelled the BUFR send (the caller reports "Отправка BUFR отменена").
  bool Open(IOperator& op);
  // Masks from the ascent's rejection flags, good-level count recounted.
  void LoadMasks();

  // Applies a rejection button to the levels [first, last]. False when read-only.
  bool Apply(int tag, RejectMode mode, int first, int last, IOperator& op);
  // Back to the masks of the opening; the modified flag stays.
  void Reset() { LoadMasks(); }

  // "ОК": asks, then writes the masks into the ascent and saves the edit files.
  bool Confirm(IOperator& op);
  // Any close: true when the window may close (edits saved or dropped as chosen).
  bool MayClose(IOperator& op);

  std::string Caption() const;
  std::string Line(int i) const;
  char Marker(int i) const;
  // Character spans to strike through on line i (empty: no rejection).
  std::vector<ColumnSpan> StrikeSpans(int i) const;
  bool HasPositions() const;

  // The automatic checks over the levels as the working masks leave them:
  // they point at values, the operator decides.
  const std::vector<QcFinding>& Suspects() const;
  // Columns of line i holding suspect values (empty: nothing suspect).
  std::vector<ColumnSpan> SuspectSpans(int i) const;
  // The reasons for line i, one per line (cp1251); empty when nothing is suspect.
  std::string SuspectText(int i) const;
  // The first suspect level after line after, from the top again past the
  // last; -1 when there is none.
  int NextSuspect(int after) const;

  const tFlagRejArr& Masks() const { return masks_; }
  bool Modified() const { return modified_; }
  bool ReadOnly() const { return readOnly_; }
  int GoodCount() const { return goodCount_; }
  TUAMessage& Ascent() { return ascent_; }
  const TUAMessage& Ascent() const { return ascent_; }

 private:
  void Commit();

  TUAMessage& ascent_;
  bool readOnly_;
  bool modified_ = false;
  tFlagRejArr masks_;
  int goodCount_ = 0;
  void ForgetSuspects() { suspectsKnown_ = false; }
  mutable bool suspectsKnown_ = false;
  mutable std::vector<QcFinding> suspects_;
  mutable std::vector<uint8_t> suspectBits_;  // per level: rejection bits of the suspect quantities
};

}  // namespace tern

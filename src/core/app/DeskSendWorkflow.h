#pragma once
// The desk's send hook filled with the send workflow: each press of a send
// button runs the workflow on the desk's ascent, panel, counters and settings,
// and keeps the desk's own flags (BUFR not yet sent, mail hand-off running)
// in step with it.
#include <functional>

#include "app/Desk.h"
#include "app/SendHook.h"
#include "app/SendPorts.h"
#include "app/SendWorkflow.h"

namespace tern {

class TDeskSendWorkflow : public ISendWorkflow {
 public:
  TDeskSendWorkflow(ISendDesk& view, ISendTransports& transports) : view_(view), transports_(transports) {}

  void Send(int sendTag, TDesk& desk) override;

  SendOutcome LastOutcome = SendOutcome::Stopped;
  // Local time of the records.
  std::function<TDateTime()> Clock = NowLocal;

 private:
  ISendDesk& view_;
  ISendTransports& transports_;
};

}  // namespace tern

#pragma once
// The one place where a send button hands over to the send pipeline. The desk
// calls Send for the button's message tag (1..8, see SendTag); the pipeline
// works on the desk's ascent, panel, settings and counters and reports through
// the desk's operator.
namespace tern {

class TDesk;

class ISendWorkflow {
 public:
  virtual ~ISendWorkflow() = default;
  virtual void Send(int sendTag, TDesk& desk) = 0;
};

}  // namespace tern

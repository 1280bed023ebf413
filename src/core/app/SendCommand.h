#pragma once
// One message sent without windows, for stations that send unattended (a
// timer that sends the newest ascent): the desk starts on its settings, opens
// the ascent, takes the metadata given on the command line and runs the same
// send workflow as the desk's buttons, with no preview and no data check.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/SendPorts.h"
#include "app/Startup.h"

namespace tern {

struct tSendRequest {
  std::string Ascent;   // the ascent's main result file
  int Tag = 0;          // send tag 1..8
  std::string BBB;      // empty, or "CC"/"RR" + a letter
  std::optional<int> Number, RaRa, Balloon, Gas, Termination, Repeated;
  std::optional<double> Lift, Train;
  std::optional<std::string> Serial, Observer;
};

// Send tag of a message name ("TTAA" .. "BUFR2"), 0 when there is none.
int SendTagOf(const std::string& name);

// The arguments after "send": ASCENT MESSAGE [--bbb BBB] [--number N] [--rara I]
// [--serial S] [--balloon I] [--gas I] [--lift KG] [--train M] [--termination I]
// [--observer X] [--repeated 0|1]. Raises TernError on a bad argument.
tSendRequest ParseSendArguments(const std::vector<std::string>& args);

// Runs the send; the exit code is 0 only when the message was delivered.
// params: the desk's switches (-C, -L, -AC); say gets one cp1251 line per step,
// ask each question with the answer taken (say when empty).
int RunSend(const ParamList& params, const tSendRequest& request, ISendTransports& transports,
            const std::function<void(const std::string&)>& say,
            const std::function<void(const std::string&)>& ask = {});

}  // namespace tern

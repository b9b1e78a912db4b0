#pragma once
// Replies of the simulator to the commands of the intersection and group control
// windows, where the generic reply is not what those windows accept:
//   0xE8 intersection operating mode, 0xEA TOD/TRC (intersection and group), 0xE6
//   group operating mode: one data byte, the mode that was asked for;
//   0x56 firmware upgrade: [controller type, 0x57, 0] ("No error").
// These replies carry no controller status byte (the firmware's third byte is the
// upgrade's result code), so the refusal-byte failure leaves them as they are.

namespace rcsim {

class RcSim;

// Installs the handlers on a simulator (its constructor does so).
void installControlReplies(RcSim &sim);

} // namespace rcsim

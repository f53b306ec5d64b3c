#pragma once
// The version of what machines of a network game say to each other: the link's framing and its
// hello, and the layout and meaning of every command kind. Every change to any of them bumps
// kWireVersion, so that builds which would misread each other part at the link-up, with a line
// naming both versions, instead of in the middle of a battle.
//
// Version 2: the hello carries the version; the wreck command carries the wreck's colour;
// every command kind is taken only from the machines that may send it.
// Version 3: the pause mark (kind 58) and the deposit amounts at a pause (kind 59).
// Version 4: the sample lands give every start an ore field of its own, so the worlds the two
// builds make from one land differ.
constexpr int kWireVersion = 4;
// What a peer whose first frame is no hello is taken for: a build from before the version
// travelled.
constexpr int kWireVersionNone = 1;

#pragma once
// The goal probe's count of a side's orders, one line: what the world's order ledger saw given
// and how each way of ending them counted, by name, with the orders still open.
#include <string>

#include "objects/OrderLedger.h"

std::string OrderCountLine(int team, const OrderLedger::Tally& tally);

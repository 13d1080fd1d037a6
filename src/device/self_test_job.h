// The Utility page's self-test: one raw job, document name "SELFTEST" (kSelfTestDocument), that
// makes the printer print its test page.
#pragma once

#include "core/raw_channel.h"

#include <array>
#include <cstdint>
#include <span>

namespace m450 {

// The three writes, constant bytes that need no allocation: bracket open, the test-print
// command 1D 28 41 with its two parameters 00 02, bracket close.
std::array<std::span<const uint8_t>, 3> SelfTestWrites();

// Sends the job; true when the spooler ended it successfully. The page shows nothing either way.
bool SendSelfTest(const RawPrinterChannel& channel);

}  // namespace m450

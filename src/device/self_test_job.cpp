#include "device/self_test_job.h"

#include "device/logo_jobs.h"  // the bracket and the document name, shared with the logo jobs

namespace m450 {

std::array<std::span<const uint8_t>, 3> SelfTestWrites() {
    // 1D 28 41 pL pH n m: two parameter bytes (pL 02, pH 00), then n = 00 and m = 02.
    static constexpr uint8_t kTestPrint[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};
    return {kBracketOpen, kTestPrint, kBracketClose};
}

bool SendSelfTest(const RawPrinterChannel& channel) {
    const std::array<std::span<const uint8_t>, 3> writes = SelfTestWrites();
    return channel.Send(kSelfTestDocument, writes);
}

}  // namespace m450

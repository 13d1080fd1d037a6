// job selftest: the Utility page's self-test job, printed instead of spooled.
#include "commands.h"

#include "device/self_test_job.h"

namespace m450::tool {

int RunJobSelfTest(const Args& args) {
    return SendSelfTest(RawPrinterChannel(PrintingSpooler(args))) ? kExitOk : Refuse("the job could not be sent");
}

}  // namespace m450::tool

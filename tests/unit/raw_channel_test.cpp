// The raw job's call sequence: every started page and document is ended exactly once,
// whatever fails, and nothing is written after a failure.
#include "core/raw_channel.h"

#include "fake_spooler.h"

#include <gtest/gtest.h>

#include <vector>

namespace m450 {
namespace {

using test::FakeSpooler;
using Call = FakeSpooler::Call;
using Bytes = std::vector<uint8_t>;

const uint8_t kOpen[] = {0x1B, 0x63, 0x3B, 0x01};
const uint8_t kTest[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};
const uint8_t kClose[] = {0x1B, 0x63, 0x3B, 0x00};

bool SendThree(FakeSpooler& fake, uint32_t* written = nullptr) {
    return RawPrinterChannel(fake.Calls()).Send(u"SELFTEST", {kOpen, kTest, kClose}, written);
}

TEST(RawPrinterChannel, SendsEveryBufferAsOneWriteOfOnePage) {
    FakeSpooler fake;
    uint32_t written = 0;
    EXPECT_TRUE(SendThree(fake, &written));
    EXPECT_EQ(fake.Sequence(), "StartDoc StartPage Write Write Write EndPage EndDoc");
    ASSERT_EQ(fake.jobs().size(), 1u);
    EXPECT_EQ(fake.jobs()[0].documentName, u"SELFTEST");
    EXPECT_EQ(fake.jobs()[0].writes,
              (std::vector<Bytes>{Bytes(std::begin(kOpen), std::end(kOpen)), Bytes(std::begin(kTest), std::end(kTest)),
                                  Bytes(std::begin(kClose), std::end(kClose))}));
    EXPECT_EQ(written, sizeof(kClose));  // the last write's count
}

TEST(RawPrinterChannel, EndsWhatWasStartedWhenACallFails) {
    struct Case {
        Call failing;
        int occurrence;
        const char* sequence;
    };
    const Case cases[] = {
        {Call::StartDoc, 1, "StartDoc"},
        {Call::StartPage, 1, "StartDoc StartPage EndDoc"},
        {Call::Write, 1, "StartDoc StartPage Write EndPage EndDoc"},
        {Call::Write, 2, "StartDoc StartPage Write Write EndPage EndDoc"},
        {Call::EndPage, 1, "StartDoc StartPage Write Write Write EndPage EndDoc"},
        {Call::EndDoc, 1, "StartDoc StartPage Write Write Write EndPage EndDoc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        FakeSpooler fake;
        fake.FailOn(c.failing, c.occurrence);
        EXPECT_FALSE(SendThree(fake));
        EXPECT_EQ(fake.Sequence(), c.sequence);
    }
    // Bytes written before the failing write stay in the job.
    FakeSpooler fake;
    fake.FailOn(Call::Write, 2);
    SendThree(fake);
    EXPECT_EQ(fake.LastJobBytes(), Bytes(std::begin(kOpen), std::end(kOpen)));
}

TEST(RawPrinterChannel, TwoJobsInARowAreSeparateJobs) {
    FakeSpooler fake;
    EXPECT_TRUE(SendThree(fake));
    EXPECT_TRUE(SendThree(fake));
    ASSERT_EQ(fake.jobs().size(), 2u);
    EXPECT_EQ(fake.jobs()[1].documentName, u"SELFTEST");
    EXPECT_EQ(fake.jobs()[1].writes.size(), 3u);
    EXPECT_EQ(fake.Count(Call::EndDoc), 2);
}

TEST(RawPrinterChannel, ReportsTheSpoolersCountOfASingleWrite) {
    FakeSpooler fake;
    fake.ReportWritten(3);  // a short write is passed on for the sender to compare
    const Bytes file(5, 0xAA);
    uint32_t written = 0;
    EXPECT_TRUE(RawPrinterChannel(fake.Calls()).Send(u"FIRMWARE", {file}, &written));
    EXPECT_EQ(written, 3u);
}

TEST(RawPrinterChannelJob, EndsPageAndDocumentOnceWithoutFinish) {
    FakeSpooler fake;
    {
        RawPrinterChannel::Job job(fake.Calls(), u"LOGO");
        EXPECT_TRUE(job.ok());
        EXPECT_TRUE(job.Write(kOpen));
        // The sender gives up here (say a bitmap failed to convert).
    }
    EXPECT_EQ(fake.Sequence(), "StartDoc StartPage Write EndPage EndDoc");

    // After a failed write nothing more is sent, and Finish adds no second end.
    FakeSpooler failing;
    failing.FailOn(Call::Write, 1);
    {
        RawPrinterChannel::Job job(failing.Calls(), u"LOGO");
        EXPECT_FALSE(job.Write(kOpen));
        EXPECT_FALSE(job.ok());
        EXPECT_FALSE(job.Write(kClose));
        EXPECT_FALSE(job.Finish());
    }
    EXPECT_EQ(failing.Sequence(), "StartDoc StartPage Write EndPage EndDoc");
}

}  // namespace
}  // namespace m450

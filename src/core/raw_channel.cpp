#include "core/raw_channel.h"

#include <limits>

namespace m450 {
namespace {

bool Complete(const SpoolerCalls& calls) {
    return calls.startDoc && calls.startPage && calls.write && calls.endPage && calls.endDoc;
}

}  // namespace

// Send is a Job that runs straight through, so both follow the one failure sequence.
bool RawPrinterChannel::Send(std::u16string_view documentName,
                             std::span<const std::span<const uint8_t>> buffers,
                             uint32_t* written) const {
    if (written)
        *written = 0;
    Job job(calls_, documentName);
    for (std::span<const uint8_t> buffer : buffers) {
        if (!job.Write(buffer, written))
            break;
    }
    return job.Finish();
}

// A failed StartDoc leaves nothing to end. A failed StartPage ends the document at once, so
// the sender's later work is not done inside an open spooler job.
RawPrinterChannel::Job::Job(const SpoolerCalls& calls, std::u16string_view documentName) : calls_(calls) {
    if (!Complete(calls_) || !calls_.startDoc(calls_.context, documentName))
        return;
    docStarted_ = true;
    pageStarted_ = calls_.startPage(calls_.context);
    ok_ = pageStarted_;
    if (!ok_)
        Finish();
}

RawPrinterChannel::Job::~Job() {
    if (docStarted_)
        Finish();
}

// The first failing write ends the page and the document; bytes already written stay in the
// job. A buffer too large for one spooler write (4 GiB and more) fails without a call rather
// than being sent cut short.
bool RawPrinterChannel::Job::Write(std::span<const uint8_t> bytes, uint32_t* written) {
    if (!ok_)
        return false;
    uint32_t count = 0;
    ok_ = bytes.size() <= std::numeric_limits<uint32_t>::max() &&
          calls_.write(calls_.context, bytes.data(), static_cast<uint32_t>(bytes.size()), &count);
    if (written)
        *written = count;
    if (!ok_)
        Finish();
    return ok_;
}

// EndDoc is called whenever the document was started, also after a failed EndPage; its
// result is the job's result when everything before it succeeded.
bool RawPrinterChannel::Job::Finish() {
    bool result = ok_;
    ok_ = false;
    if (pageStarted_) {
        pageStarted_ = false;
        result = calls_.endPage(calls_.context) && result;
    }
    if (!docStarted_)
        return false;
    docStarted_ = false;
    return calls_.endDoc(calls_.context) && result;
}

}  // namespace m450

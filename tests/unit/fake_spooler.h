// A recording stand-in for the five spooler calls of a raw job: it keeps the order of the
// calls and each job's document name and written bytes, and can be told which call fails.
// Tests of every sender (self-test, logo jobs, barcode test prints, file download) use it.
#pragma once

#include "core/raw_channel.h"
#include "job_bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m450::test {

class FakeSpooler {
  public:
    enum class Call { StartDoc, StartPage, Write, EndPage, EndDoc };

    struct Job {
        std::u16string documentName;
        std::vector<std::vector<uint8_t>> writes;  // the writes that succeeded, in order
        bool ended = false;                        // EndDoc was called
    };

    // The occurrence-th call (counting from 1, over all jobs) of `call` returns failure.
    void FailOn(Call call, int occurrence = 1) {
        failCall_ = call;
        failOccurrence_ = occurrence;
    }
    // Writes report this count instead of their length (a short write).
    void ReportWritten(uint32_t count) { reportedWritten_ = count; }

    // The table to hand to RawPrinterChannel; valid while this object lives.
    SpoolerCalls Calls() {
        SpoolerCalls c;
        c.context = this;
        c.startDoc = [](void* self, std::u16string_view name) { return Self(self).StartDoc(name); };
        c.startPage = [](void* self) { return Self(self).Record(Call::StartPage); };
        c.write = [](void* self, const uint8_t* data, uint32_t length, uint32_t* written) {
            return Self(self).Write(data, length, written);
        };
        c.endPage = [](void* self) { return Self(self).Record(Call::EndPage); };
        c.endDoc = [](void* self) { return Self(self).EndDoc(); };
        return c;
    }

    // The calls in order, as text: "StartDoc StartPage Write EndPage EndDoc".
    std::string Sequence() const {
        static constexpr const char* kNames[] = {"StartDoc", "StartPage", "Write", "EndPage", "EndDoc"};
        std::string text;
        for (Call c : calls_) {
            if (!text.empty())
                text += ' ';
            text += kNames[static_cast<int>(c)];
        }
        return text;
    }
    int Count(Call call) const {
        int n = 0;
        for (Call c : calls_)
            n += c == call;
        return n;
    }
    // One entry per StartDoc that succeeded.
    const std::vector<Job>& jobs() const { return jobs_; }
    // The bytes of the last job, all writes joined.
    std::vector<uint8_t> LastJobBytes() const {
        return jobs_.empty() ? std::vector<uint8_t>{} : JobBytes(jobs_.back().writes);
    }

  private:
    static FakeSpooler& Self(void* self) { return *static_cast<FakeSpooler*>(self); }

    // Logs the call; false when it is the one told to fail.
    bool Record(Call call) {
        calls_.push_back(call);
        return !(failCall_ == call && Count(call) == failOccurrence_);
    }
    bool StartDoc(std::u16string_view name) {
        if (!Record(Call::StartDoc))
            return false;
        jobs_.push_back({std::u16string(name), {}, false});
        return true;
    }
    bool Write(const uint8_t* data, uint32_t length, uint32_t* written) {
        const bool ok = Record(Call::Write);
        *written = ok ? reportedWritten_.value_or(length) : 0;
        if (ok && !jobs_.empty())
            jobs_.back().writes.emplace_back(data, data + length);
        return ok;
    }
    bool EndDoc() {
        if (!jobs_.empty())
            jobs_.back().ended = true;
        return Record(Call::EndDoc);
    }

    std::vector<Call> calls_;
    std::vector<Job> jobs_;
    std::optional<Call> failCall_;
    int failOccurrence_ = 0;
    std::optional<uint32_t> reportedWritten_;
};

}  // namespace m450::test

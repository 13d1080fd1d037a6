// Raw printer channel: printer command bytes sent as one spooler job of one page, data type
// "RAW", so that the spooler hands them to the port unchanged.
//
// The channel never opens or closes the printer; it borrows the host's handle through a
// small table of the five spooler calls (winspool in the DLL, a recording fake in tests).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace m450 {

// The five spooler calls of a raw job, bound to one printer handle by `context`.
// Each returns false where the spooler call returned zero.
struct SpoolerCalls {
    void* context = nullptr;
    bool (*startDoc)(void* context, std::u16string_view documentName) = nullptr;  // level 1, no output file, "RAW"
    bool (*startPage)(void* context) = nullptr;
    bool (*write)(void* context, const uint8_t* data, uint32_t length, uint32_t* written) = nullptr;
    bool (*endPage)(void* context) = nullptr;
    bool (*endDoc)(void* context) = nullptr;
};

class RawPrinterChannel {
  public:
    explicit RawPrinterChannel(const SpoolerCalls& calls) : calls_(calls) {}

    // Sends the buffers in order, one write each, as one job. Returns the job's result:
    // true only when every call succeeded and EndDocPrinter reported success. `written`,
    // when given, receives the spooler's written count of the last write (the file download
    // compares it with the file size).
    bool Send(std::u16string_view documentName,
              std::span<const std::span<const uint8_t>> buffers,
              uint32_t* written = nullptr) const;
    bool Send(std::u16string_view documentName,
              std::initializer_list<std::span<const uint8_t>> buffers,
              uint32_t* written = nullptr) const {
        return Send(documentName, std::span<const std::span<const uint8_t>>(buffers.begin(), buffers.size()), written);
    }

    // A job whose buffers are made while it runs (the logo download builds each logo between
    // writes). Whatever ends it early, the page and document it started are ended before it
    // goes away, so no job is left open in the spooler.
    class Job {
      public:
        Job(const SpoolerCalls& calls, std::u16string_view documentName);
        ~Job();
        Job(const Job&) = delete;
        Job& operator=(const Job&) = delete;

        // False once any call failed; later writes are then not attempted.
        bool ok() const { return ok_; }
        bool Write(std::span<const uint8_t> bytes, uint32_t* written = nullptr);
        // Ends the page and the document; the job's result. Safe to call once only.
        bool Finish();

      private:
        SpoolerCalls calls_;
        bool docStarted_ = false;
        bool pageStarted_ = false;
        bool ok_ = false;
    };

  private:
    SpoolerCalls calls_;
};

}  // namespace m450

// Barcode test data as a user may type it, for any symbology and any font record: the
// validator never grows the data and what it accepts fits its entry; the job builders frame
// exactly the validated data and build nothing for refused data.
//
// Input: one symbology byte, a 1D record (36 bytes), a 2D record (24 bytes), then the data.
#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"

#include <cstdlib>
#include <cstring>

namespace {

using m450::Barcode1DSettings;
using m450::Barcode2DSettings;
using m450::BarcodeJob;
using m450::BarcodeJobError;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Every built job ends with the data, its terminator and the trailer.
void CheckFramed(const BarcodeJob& job, const std::vector<uint8_t>& validated) {
    if (job.error != BarcodeJobError::kNone) {
        Check(job.writes.empty());
        return;
    }
    const size_t n = job.writes.size();
    Check(n == 4 || n == 7);
    Check(job.writes[n - 3] == validated);
    Check(job.writes[n - 2] == std::vector<uint8_t>{0x00});
    Check(job.writes[n - 1] == (std::vector<uint8_t>{0x0A, 0x1D, 0x56, 0x42, 0x00}));
    if (n == 7)
        Check(job.writes[3] == std::vector<uint8_t>{static_cast<uint8_t>(validated.size())});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kHeader = 1 + sizeof(Barcode1DSettings) + sizeof(Barcode2DSettings);
    if (size < kHeader)
        return 0;
    const unsigned symbology = data[0];
    Barcode1DSettings settings1D;
    Barcode2DSettings settings2D;
    std::memcpy(&settings1D, data + 1, sizeof(settings1D));
    std::memcpy(&settings2D, data + 1 + sizeof(settings1D), sizeof(settings2D));
    const std::span<const uint8_t> input(data + kHeader, size - kHeader);

    std::vector<uint8_t> validated(input.begin(), input.end());
    if (m450::ValidateBarcodeData(symbology, validated)) {
        const auto index = m450::BarcodeCharsetIndex(symbology);
        Check(index.has_value());
        Check(!validated.empty() && validated.size() <= input.size());
        Check(input.size() >= m450::BarcodeCharsetTable[*index].leastLength &&
              input.size() <= m450::BarcodeCharsetTable[*index].greatestLength);
        Check(validated.size() == input.size() || symbology == m450::kSymbologyCode128);
    }

    if (const auto* type = m450::FindBarcode1DType(settings1D.barcodeType)) {
        std::vector<uint8_t> expected(input.begin(), input.end());
        const bool valid = m450::ValidateBarcodeData(type->validatorSymbology, expected);
        const BarcodeJob job = m450::BuildBarcode1DJob(settings1D, input);
        Check(valid == (job.error == BarcodeJobError::kNone));
        CheckFramed(job, expected);
    } else {
        Check(m450::BuildBarcode1DJob(settings1D, input).error == BarcodeJobError::kUnknownSetting);
    }

    if (const auto* type = m450::FindBarcode2DType(settings2D.barcodeType)) {
        std::vector<uint8_t> expected(input.begin(), input.end());
        const bool valid = m450::ValidateBarcodeData(type->validatorSymbology, expected);
        const BarcodeJob job = m450::BuildBarcode2DJob(settings2D, input);
        Check(valid || job.error != BarcodeJobError::kNone);
        CheckFramed(job, expected);
    } else {
        Check(m450::BuildBarcode2DJob(settings2D, input).error == BarcodeJobError::kUnknownSetting);
    }
    return 0;
}

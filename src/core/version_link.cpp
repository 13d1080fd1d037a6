#include "core/version_link.h"

namespace m450 {
namespace {

constexpr int64_t kCharWidthTimes20 = 112;
constexpr int32_t kTopAboveBottom = 42;
constexpr int32_t kHeightLess = 33;
// The addresses the language files hold fit in a 256-character slot; longer counts are capped
// so that the width stays an int32_t.
constexpr size_t kLongestAddress = 4096;

}  // namespace

bool Contains(const PixelRect& rect, int32_t x, int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

PixelRect LinkRect(const PixelRect& page,
                   const PixelRect& link,
                   const PixelRect& pageClient,
                   const PixelRect& linkClient,
                   size_t addressLength) {
    const size_t length = addressLength < kLongestAddress ? addressLength : kLongestAddress;
    PixelRect rect;
    rect.left = link.left - page.left;
    rect.top = link.bottom - page.bottom + pageClient.bottom - kTopAboveBottom;
    rect.right = rect.left + static_cast<int32_t>(static_cast<int64_t>(length) * kCharWidthTimes20 / 20);
    rect.bottom = linkClient.bottom + rect.top - kHeightLess;
    return rect;
}

}  // namespace m450

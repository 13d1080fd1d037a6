// The Version page's web-address link: the rectangle, in the page's client coordinates, in
// which the pointer underlines the address and a click opens it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace m450 {

// A rectangle as the window system gives it; `right` and `bottom` lie just outside.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

bool Contains(const PixelRect& rect, int32_t x, int32_t y);

// page: the page's window rectangle; link: the link control's window rectangle; pageClient and
// linkClient: their client rectangles. The rectangle starts at the control's left edge, 42
// pixels above the control's bottom, is the control's height less 33 pixels tall and about 5.6
// pixels wide per character of the address.
PixelRect LinkRect(const PixelRect& page,
                   const PixelRect& link,
                   const PixelRect& pageClient,
                   const PixelRect& linkClient,
                   size_t addressLength);

}  // namespace m450

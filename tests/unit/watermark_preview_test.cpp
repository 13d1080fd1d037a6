// The preview's arithmetic: placement of the picture in the frame, the rotated text's origin,
// brightness and the text's font.
#include "document/watermark_preview.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace m450 {
namespace {

using Rect = PreviewRect;

TEST(WatermarkPreview, NinePositionsPlaceAndCropByTheirRowAndColumn) {
    // Frame 200 x 300, size 50: D = 100. A square picture 100 x 100 keeps all rows (h = 100, R = 100).
    struct Expected {
        int left, top;
    };
    const Expected square[9] = {{0, 0},   {50, 0},   {100, 0},     // top
                                {0, 100}, {50, 100}, {100, 100},   // middle
                                {0, 200}, {50, 200}, {100, 200}};  // bottom
    for (int p = 0; p < 9; ++p) {
        const PreviewPlacement placement = PlaceWatermarkPreview(200, 300, 100, 100, p, 50);
        ASSERT_EQ(placement.copies.size(), 1u) << p;
        EXPECT_EQ(placement.copies[0].destination, (Rect{square[p].left, square[p].top, 100, 100})) << p;
        EXPECT_EQ(placement.copies[0].source, (Rect{0, 0, 100, 100})) << p;
    }

    // A tall picture 100 x 1000: only h = 300 rows fit (R = 300 = H), taken from the top, the
    // middle or the bottom of the picture by the position's row.
    const int sourceTop[3] = {0, 350, 700};
    const int left[3] = {0, 50, 100};
    for (int p = 0; p < 9; ++p) {
        const PreviewPlacement placement = PlaceWatermarkPreview(200, 300, 100, 1000, p, 50);
        ASSERT_EQ(placement.copies.size(), 1u) << p;
        EXPECT_EQ(placement.copies[0].destination, (Rect{left[p % 3], 0, 100, 300})) << p;
        EXPECT_EQ(placement.copies[0].source, (Rect{0, sourceTop[p / 3], 100, 300})) << p;
    }

    // Integer divisions: W = 201, s = 33 -> D = 66; h = min(50, 301*70*100/6633 = 317) = 50;
    // R = 6633*50/7000 = 47; centre-middle: left (201-66)/2 = 67, top (301-47)/2 = 127.
    const PreviewPlacement odd = PlaceWatermarkPreview(201, 301, 70, 50, 4, 33);
    ASSERT_EQ(odd.copies.size(), 1u);
    EXPECT_EQ(odd.copies[0].destination, (Rect{67, 127, 66, 47}));
    EXPECT_EQ(odd.copies[0].source, (Rect{0, 0, 70, 50}));
    // Everything else of the frame is white: the bands above and below, and beside the copy.
    EXPECT_EQ(odd.white,
              (std::vector<Rect>{{0, 0, 201, 127}, {0, 174, 201, 127}, {0, 127, 67, 47}, {133, 127, 68, 47}}));
}

TEST(WatermarkPreview, NothingToDrawLeavesTheFrameWhite) {
    const std::vector<Rect> wholeFrame{{0, 0, 200, 300}};
    // Size 0: no width (h = bh, R = 0).
    EXPECT_TRUE(PlaceWatermarkPreview(200, 300, 100, 100, 4, 0).copies.empty());
    EXPECT_EQ(PlaceWatermarkPreview(200, 300, 100, 100, 4, 0).white, wholeFrame);
    // A picture without width or without rows.
    EXPECT_TRUE(PlaceWatermarkPreview(200, 300, 0, 100, 4, 50).copies.empty());
    EXPECT_EQ(PlaceWatermarkPreview(200, 300, 0, 100, 9, 50).white, wholeFrame);
    EXPECT_EQ(PlaceWatermarkPreview(200, 300, 100, 0, 0, 50).white, wholeFrame);
    // A frame without area: nothing at all.
    EXPECT_TRUE(PlaceWatermarkPreview(0, 300, 100, 100, 4, 50).copies.empty());
    EXPECT_TRUE(PlaceWatermarkPreview(0, 300, 100, 100, 4, 50).white.empty());
}

TEST(WatermarkPreview, TiledCoversTheFrameWithCutLastRowAndColumn) {
    // Frame 200 x 310, picture 100 x 50, size 30: copies 60 x 30; 100/30 = 3 full columns and
    // one of 20; 10 full rows and one of 10.
    const PreviewPlacement tiled = PlaceWatermarkPreview(200, 310, 100, 50, 9, 30);
    EXPECT_TRUE(tiled.white.empty());
    ASSERT_EQ(tiled.copies.size(), 4u * 11);
    EXPECT_EQ(tiled.copies[0], (PreviewCopy{{0, 0, 60, 30}, {0, 0, 100, 50}}));
    EXPECT_EQ(tiled.copies[1], (PreviewCopy{{0, 30, 60, 30}, {0, 0, 100, 50}}));
    // The last of a column: 10 rows high, showing the picture's top 17 rows (50 * 10 / 30 up).
    EXPECT_EQ(tiled.copies[10], (PreviewCopy{{0, 300, 60, 10}, {0, 0, 100, 17}}));
    EXPECT_EQ(tiled.copies[11], (PreviewCopy{{60, 0, 60, 30}, {0, 0, 100, 50}}));
    // The last column: 20 wide, showing the picture's left 34 columns (100 * 20 / 60 up).
    EXPECT_EQ(tiled.copies[33], (PreviewCopy{{180, 0, 20, 30}, {0, 0, 34, 50}}));
    EXPECT_EQ(tiled.copies[43], (PreviewCopy{{180, 300, 20, 10}, {0, 0, 34, 17}}));

    // Tiled copies never overlap and cover the frame exactly.
    int64_t area = 0;
    for (const PreviewCopy& copy : tiled.copies)
        area += int64_t{copy.destination.width} * copy.destination.height;
    EXPECT_EQ(area, 200 * 310);

    // The tiled minimum: sizes 0 and 10 are placed as 20 (five columns of 40).
    for (int size : {0, 10, 20}) {
        const PreviewPlacement minimum = PlaceWatermarkPreview(200, 310, 100, 50, 9, size);
        ASSERT_FALSE(minimum.copies.empty()) << size;
        EXPECT_EQ(minimum.copies[0].destination, (Rect{0, 0, 40, 20})) << size;
        EXPECT_EQ(minimum.copies.back().destination.x, 160) << size;
    }
    EXPECT_EQ(WatermarkSizeFor(9, 19), 20);
    EXPECT_EQ(WatermarkSizeFor(9, 21), 21);
    EXPECT_EQ(WatermarkSizeFor(8, 5), 5);
}

TEST(WatermarkPreview, CopiesStayInsideFrameAndPicture) {
    for (int W : {1, 7, 150, 203})
        for (int H : {1, 9, 264})
            for (int bw : {1, 3, 100, 1001})
                for (int bh : {1, 5, 333})
                    for (int p : {-1, 0, 4, 8, 9, 12})
                        for (int s : {-5, 0, 1, 20, 37, 100, 255}) {
                            const PreviewPlacement placement = PlaceWatermarkPreview(W, H, bw, bh, p, s);
                            int64_t area = 0;
                            for (const PreviewCopy& c : placement.copies) {
                                const Rect& d = c.destination;
                                ASSERT_TRUE(d.x >= 0 && d.y >= 0 && d.width > 0 && d.height > 0 && d.x + d.width <= W &&
                                            d.y + d.height <= H);
                                const Rect& src = c.source;
                                ASSERT_TRUE(src.x >= 0 && src.y >= 0 && src.width > 0 && src.height > 0 &&
                                            src.x + src.width <= bw && src.y + src.height <= bh)
                                    << W << " " << H << " " << bw << " " << bh << " " << p << " " << s;
                                area += int64_t{d.width} * d.height;
                            }
                            for (const Rect& white : placement.white)
                                area += int64_t{white.width} * white.height;
                            ASSERT_EQ(area, int64_t{W} * H) << W << " " << H << " " << bw << " " << bh << " " << p;
                        }
}

TEST(WatermarkPreview, RotatedTextOriginTurnsAboutTheCanvasCentre) {
    // Extent 100 x 20: halves 50 and 10.
    EXPECT_EQ(RotatedTextOrigin(100, 20, 0), (TextOrigin{100, 160}));
    // 45 degrees: dx = 0.7071 * 40 = 28.28, dy = 0.7071 * 60 = 42.43, truncated.
    EXPECT_EQ(RotatedTextOrigin(100, 20, 45), (TextOrigin{122, 192}));
    // 90 degrees with pi as 3.141592654: the cosine is just below zero, so dy = 49.99999... -> 49.
    EXPECT_EQ(RotatedTextOrigin(100, 20, 90), (TextOrigin{160, 199}));
    // Odd extents are halved by integer division.
    EXPECT_EQ(RotatedTextOrigin(101, 21, 0), (TextOrigin{100, 160}));
}

TEST(WatermarkPreview, BrightnessSaturatesAndFontFollowsSizeStyleAngle) {
    std::vector<uint8_t> pixels{0, 100, 155, 156, 255};
    AddBrightness(pixels, 100);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{100, 200, 255, 255, 255}));
    AddBrightness(pixels, 0);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{100, 200, 255, 255, 255}));
    // Into another buffer, the untouched pixels kept: the preview made afresh at each brightness.
    const std::vector<uint8_t> untouched{0, 1, 254, 128};
    std::vector<uint8_t> shown(4, 0x55);
    AddBrightness(untouched, shown, 127);
    EXPECT_EQ(shown, (std::vector<uint8_t>{127, 128, 255, 255}));
    AddBrightness(untouched, shown, 300);  // past the slider's range: as 255
    EXPECT_EQ(shown, (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(untouched, (std::vector<uint8_t>{0, 1, 254, 128}));

    // Height: minus points * LOGPIXELSY / 72, rounded (50 * 96 / 72 = 66.7 -> 67; 3 * 12 / 72 = 0.5 -> 1).
    EXPECT_EQ(WatermarkFontFor(50, 0, 45, 96).height, -67);
    EXPECT_EQ(WatermarkFontFor(9, 0, 0, 96).height, -12);
    EXPECT_EQ(WatermarkFontFor(3, 0, 0, 12).height, -1);
    EXPECT_EQ(WatermarkFontFor(50, 0, 45, 96).escapement, 450);
    const std::pair<int, bool> styles[] = {{400, false}, {400, true}, {700, false}, {700, true}, {400, false}};
    for (int style = 0; style < 5; ++style) {
        const WatermarkFont font = WatermarkFontFor(50, style, 0, 96);
        EXPECT_EQ(font.weight, styles[style].first) << style;
        EXPECT_EQ(font.italic, styles[style].second) << style;
    }
}

TEST(WatermarkPreview, PreviewLimitIsTenMebibytes) {
    EXPECT_FALSE(ExceedsPreviewLimit(0xA00000, 1));
    EXPECT_TRUE(ExceedsPreviewLimit(0xA00001, 1));
    EXPECT_FALSE(ExceedsPreviewLimit(3000, 3495));  // 10,485,000
    EXPECT_TRUE(ExceedsPreviewLimit(3000, 3496));   // 10,488,000
    EXPECT_TRUE(ExceedsPreviewLimit(3000, -3496));  // top-down
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    EXPECT_TRUE(ExceedsPreviewLimit(kMax, kMax));  // no overflow
    EXPECT_FALSE(ExceedsPreviewLimit(0, kMax));
}

}  // namespace
}  // namespace m450

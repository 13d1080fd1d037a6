// previewgen: draws the fourteen pictures of the event dialog (bitmap resources 136-149) and the
// Layout page's two rotation pictures (129 and 130) into resources/previews/, and checks that
// the committed files are what it draws.
//
//   previewgen write DIR   writes DIR/*.bmp and DIR/previews.rc (the resource lines)
//   previewgen check DIR   draws everything in memory and compares it with DIR's files
//
// Each picture is 184 x 61 pixels at 24 bits: a strip of receipt paper coming out of the
// printer (on the right) with two jobs of two pages each, labelled J1 P1 .. J2 P2, oldest on
// the left. Where the event and the dialog's two choices put an operation, the strip shows a
// blank feed gap (feed to the cut position) and a dashed cut line with scissors (a cut):
// between and before the jobs for start of document, between and after them for end of
// document, and likewise around every page for the page events. Which picture serves which
// event and choices is the core's PreviewBitmapId, so the two cannot drift apart.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/event_operations.h"

namespace {

using m450::DocumentEvent;

constexpr int kWidth = m450::kPreviewWidth;
constexpr int kHeight = m450::kPreviewHeight;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBackground{0xF0, 0xF0, 0xF0};
constexpr Rgb kPaper{0xFF, 0xFF, 0xFF};
constexpr Rgb kPaperEdge{0x90, 0x90, 0x90};
constexpr Rgb kJobFill[2] = {{0xCC, 0xE0, 0xF6}, {0xF8, 0xE2, 0xBC}};
constexpr Rgb kPageBoundary[2] = {{0x86, 0xA6, 0xCC}, {0xC8, 0xA0, 0x60}};
constexpr Rgb kLabel{0x20, 0x20, 0x20};
constexpr Rgb kCut{0xC0, 0x10, 0x10};
constexpr Rgb kPrinterBody{0x8C, 0x94, 0x9C};
constexpr Rgb kPrinterEdge{0x40, 0x44, 0x48};
constexpr Rgb kPrinterSlot{0x20, 0x20, 0x20};
constexpr Rgb kLamp{0x30, 0xC0, 0x40};

// Geometry, in pixels from the top left.
constexpr int kStripTop = 20;  // paper edge rows at kStripTop and kStripBottom
constexpr int kStripBottom = 46;
constexpr int kSlotX = 157;       // the printer's left side; the strip enters here
constexpr int kCutterMargin = 8;  // paper between the newest mark and the printer
constexpr int kPageWidth = 28;
constexpr int kGapWidth = 8;

class Canvas {
  public:
    explicit Canvas(int width = kWidth, int height = kHeight, Rgb background = kBackground)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

    void Set(int x, int y, Rgb c) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_)
            pixels_[static_cast<size_t>(y) * width_ + x] = c;
    }
    // The same picture turned by 180 degrees.
    Canvas Turned() const {
        Canvas turned = *this;
        std::reverse(turned.pixels_.begin(), turned.pixels_.end());
        return turned;
    }
    void Fill(int x0, int y0, int x1, int y1, Rgb c) {  // inclusive corners
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y, c);
    }

    // A 24-bit bottom-up BMP: 14-byte file header, 40-byte info header, rows of blue, green, red.
    std::vector<uint8_t> Bmp() const {
        const uint32_t stride = (width_ * 3 + 3) / 4 * 4;
        const uint32_t imageSize = stride * height_;
        std::vector<uint8_t> out;
        auto u16 = [&out](uint32_t v) {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto u32 = [&u16](uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        out.push_back('B');
        out.push_back('M');
        u32(54 + imageSize);
        u32(0);
        u32(54);
        u32(40);
        u32(width_);
        u32(height_);
        u16(1);
        u16(24);
        u32(0);  // BI_RGB
        u32(imageSize);
        u32(3780);  // 96 dpi
        u32(3780);
        u32(0);
        u32(0);
        for (int y = height_ - 1; y >= 0; --y) {
            const size_t rowStart = out.size();
            for (int x = 0; x < width_; ++x) {
                const Rgb c = pixels_[static_cast<size_t>(y) * width_ + x];
                out.insert(out.end(), {c.b, c.g, c.r});
            }
            out.resize(rowStart + stride, 0);
        }
        return out;
    }

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// 5 x 7 glyphs of the few characters the labels use; each row's low five bits, leftmost high.
const std::map<char, std::array<uint8_t, 7>> kGlyphs = {
    {'A', {0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'J', {0b00111, 0b00010, 0b00010, 0b00010, 0b10010, 0b10010, 0b01100}},
    {'P', {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'1', {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'2', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111}},
};

// Each glyph pixel drawn as a scale by scale square.
void DrawText(Canvas& canvas, int x, int y, std::string_view text, Rgb c, int scale = 1) {
    for (char ch : text) {
        const auto& rows = kGlyphs.at(ch);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (rows[row] & (0x10 >> col))
                    canvas.Fill(x + col * scale, y + row * scale, x + col * scale + scale - 1,
                                y + row * scale + scale - 1, c);
        x += 6 * scale;
    }
}

// Scissors with their blades pointing down at the cut line, centred on x.
void DrawScissors(Canvas& canvas, int x, int y) {
    static constexpr const char* kSprite[] = {
        ".XXX...XXX.",  //
        "X...X.X...X",  //
        "X...X.X...X",  //
        ".XXX...XXX.",  //
        "....X.X....",  //
        ".....X.....",  //
        "....X.X....",  //
        "...X...X...",  //
        "..X.....X..",  //
        ".X.......X.",  //
    };
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 11; ++col)
            if (kSprite[row][col] == 'X')
                canvas.Set(x - 5 + col, y + row, kCut);
}

void DrawCutLine(Canvas& canvas, int x) {
    for (int y = kStripTop - 3; y <= kStripBottom + 3; ++y)
        if ((y - kStripTop) % 4 < 2)
            canvas.Set(x, y, kCut);
    DrawScissors(canvas, x, kStripTop - 14);
}

void DrawPrinter(Canvas& canvas) {
    canvas.Fill(kSlotX, 8, kWidth - 2, 56, kPrinterEdge);
    canvas.Fill(kSlotX + 1, 9, kWidth - 3, 55, kPrinterBody);
    canvas.Fill(kSlotX, kStripTop - 1, kSlotX + 2, kStripBottom + 1, kPrinterSlot);
    canvas.Fill(kWidth - 8, 12, kWidth - 6, 14, kLamp);
}

// Where an operation stands on the strip: before the first page or after the last page of
// each job (document events) or of each page (page events).
struct Marks {
    bool beforePage[2][2] = {};
    bool afterPage[2][2] = {};
};

Marks MarksOf(DocumentEvent event) {
    Marks marks;
    for (int job = 0; job < 2; ++job) {
        for (int page = 0; page < 2; ++page) {
            switch (event) {
                case DocumentEvent::kStartOfDocument:
                    marks.beforePage[job][page] = page == 0;
                    break;
                case DocumentEvent::kStartOfPage:
                    marks.beforePage[job][page] = true;
                    break;
                case DocumentEvent::kEndOfPage:
                    marks.afterPage[job][page] = true;
                    break;
                case DocumentEvent::kEndOfDocument:
                    marks.afterPage[job][page] = page == 1;
                    break;
            }
        }
    }
    return marks;
}

std::vector<uint8_t> DrawPreview(DocumentEvent event, bool feed, bool cut) {
    Canvas canvas;
    const Marks marks = MarksOf(event);
    const int gap = feed ? kGapWidth : 0;

    // Lay the pages out from the oldest, then shift everything so the newest mark ends at the cutter.
    struct Page {
        int x, job, page;
    };
    std::vector<Page> pages;
    std::vector<int> cuts;
    std::vector<int> boundaries;
    int x = 0;
    auto mark = [&]() {
        if (cut)
            cuts.push_back(x + gap / 2);
        x += gap;
    };
    for (int job = 0; job < 2; ++job) {
        for (int page = 0; page < 2; ++page) {
            if (marks.beforePage[job][page])
                mark();
            if (!pages.empty() && x == pages.back().x + kPageWidth)
                boundaries.push_back(x);
            pages.push_back({x, job, page});
            x += kPageWidth;
            if (marks.afterPage[job][page])
                mark();
        }
    }
    const int shift = kSlotX - kCutterMargin - x;

    canvas.Fill(0, kStripTop, kSlotX - 1, kStripBottom, kPaper);
    canvas.Fill(0, kStripTop, kSlotX - 1, kStripTop, kPaperEdge);
    canvas.Fill(0, kStripBottom, kSlotX - 1, kStripBottom, kPaperEdge);
    for (const Page& p : pages) {
        const int left = p.x + shift;
        canvas.Fill(left, kStripTop + 1, left + kPageWidth - 1, kStripBottom - 1, kJobFill[p.job]);
        const char job = static_cast<char>('1' + p.job);
        const char page = static_cast<char>('1' + p.page);
        const int textX = left + (kPageWidth - 11) / 2;
        DrawText(canvas, textX, kStripTop + 5, std::string{'J', job}, kLabel);
        DrawText(canvas, textX, kStripTop + 15, std::string{'P', page}, kLabel);
    }
    // Pages printed one after the other without a feed between them meet at a thin line.
    for (int b : boundaries) {
        for (const Page& p : pages)
            if (p.x == b)
                canvas.Fill(b + shift, kStripTop + 1, b + shift, kStripBottom - 1, kPageBoundary[p.job]);
    }
    for (int c : cuts)
        DrawCutLine(canvas, c + shift);
    DrawPrinter(canvas);
    return canvas.Bmp();
}

// The Layout page's rotation pictures, 76 x 76: a printed receipt as it comes out of the
// printer's slot at the top (a large "A" over lines of text), and the receipt printed turned
// by 180 degrees.
constexpr int kRotationSide = 76;
constexpr int kFirstRotationBitmap = 129;  // normal; 130: rotated by 180 degrees

Canvas DrawRotation(bool turned) {
    Canvas canvas(kRotationSide, kRotationSide);
    // The receipt fills a rectangle that is its own turned copy, so only its print turns.
    canvas.Fill(16, 8, 59, 67, kPaperEdge);
    canvas.Fill(17, 9, 58, 66, kPaper);
    DrawText(canvas, 27, 13, "A", kLabel, 4);
    for (int line = 0; line < 4; ++line) {
        const int y = 45 + line * 5;
        canvas.Fill(22, y, line == 3 ? 40 : 53, y + 2, kPageBoundary[0]);
    }
    if (turned)
        canvas = canvas.Turned();
    canvas.Fill(6, 2, 69, 7, kPrinterEdge);  // the printer's slot, where the receipt comes out
    canvas.Fill(8, 4, 67, 5, kPrinterSlot);
    return canvas;
}

std::string FileName(DocumentEvent event, bool feed, bool cut) {
    static constexpr const char* kEvents[] = {"start_of_document", "start_of_page", "end_of_page", "end_of_document"};
    const bool start = event == DocumentEvent::kStartOfDocument || event == DocumentEvent::kStartOfPage;
    if (!feed && !cut)  // the same picture serves both start events, and both end events
        return start ? "start_plain.bmp" : "end_plain.bmp";
    return std::string(kEvents[static_cast<int>(event)]) + (feed ? "_feed" : "") + (cut ? "_cut" : "") + ".bmp";
}

struct Output {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Every picture once, by resource number, and the resource script that names them.
std::optional<std::vector<Output>> DrawAll() {
    std::map<int, Output> pictures;
    for (int e = 0; e < static_cast<int>(m450::kDocumentEventCount); ++e) {
        const auto event = static_cast<DocumentEvent>(e);
        for (bool feed : {true, false}) {
            for (bool cut : {true, false}) {
                const int id = m450::PreviewBitmapId(event, feed, cut ? 1 : 0);
                Output picture{FileName(event, feed, cut), DrawPreview(event, feed, cut)};
                const auto [it, added] = pictures.emplace(id, picture);
                if (!added && (it->second.name != picture.name || it->second.bytes != picture.bytes)) {
                    std::fprintf(stderr, "previewgen: resource %d would show two different pictures\n", id);
                    return std::nullopt;
                }
            }
        }
    }
    if (pictures.size() != m450::kLastPreviewBitmap - m450::kFirstPreviewBitmap + 1) {
        std::fprintf(stderr, "previewgen: %zu pictures drawn, expected 14\n", pictures.size());
        return std::nullopt;
    }
    pictures.emplace(kFirstRotationBitmap, Output{"rotate_normal.bmp", DrawRotation(false).Bmp()});
    pictures.emplace(kFirstRotationBitmap + 1, Output{"rotate_180.bmp", DrawRotation(true).Bmp()});
    std::string script =
        "// Written by tools/previewgen (cmake --build <build> --target m450_previews): the pictures\n"
        "// of the event dialog, 184 x 61 pixels, and the Layout page's rotation pictures, 76 x 76,\n"
        "// all at 24 bits. Paths are relative to resources/.\n";
    std::vector<Output> outputs;
    for (const auto& [id, picture] : pictures) {
        script += std::to_string(id) + " BITMAP \"previews/" + picture.name + "\"\n";
        outputs.push_back(picture);
    }
    outputs.push_back({"previews.rc", std::vector<uint8_t>(script.begin(), script.end())});
    return outputs;
}

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

int Write(const std::string& dir, const std::vector<Output>& outputs) {
    for (const Output& out : outputs) {
        std::ofstream file(dir + "/" + out.name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(out.bytes.data()), static_cast<std::streamsize>(out.bytes.size()));
        if (!file) {
            std::fprintf(stderr, "previewgen: cannot write %s/%s\n", dir.c_str(), out.name.c_str());
            return 1;
        }
    }
    return 0;
}

int Check(const std::string& dir, const std::vector<Output>& outputs) {
    int stale = 0;
    for (const Output& out : outputs) {
        if (ReadFile(dir + "/" + out.name) != out.bytes) {
            std::fprintf(stderr, "previewgen: %s/%s is not what the generator draws\n", dir.c_str(), out.name.c_str());
            ++stale;
        }
    }
    if (stale)
        std::fprintf(stderr, "previewgen: regenerate with: cmake --build <build> --target m450_previews\n");
    return stale ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[1] : "";
    if (mode != "write" && mode != "check") {
        std::fprintf(stderr, "usage: previewgen write|check DIR\n");
        return 2;
    }
    const std::optional<std::vector<Output>> outputs = DrawAll();
    if (!outputs)
        return 1;
    return mode == "write" ? Write(argv[2], *outputs) : Check(argv[2], *outputs);
}

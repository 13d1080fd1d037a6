#include "document/watermark_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/hover_help_win.h"
#include "core/language_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
#include "core/page_state_win.h"
#include "core/page_win.h"
#include "document/graphics_reset_win.h"
#include "document/record_text.h"
#include "core/bmp_reader.h"
#include "document/watermark_file.h"
#include "document/watermark_rules.h"
#include "document/watermark_values.h"
#include "watermark_page_ids.h"

namespace m450 {
namespace {

// A picture as rows of pixels, bottom row first (the platform's DIB order).
struct Pixels {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    std::vector<uint8_t> bytes;
};

// One copy of the page, owned by its window. A new page converts and loads its own printer's
// picture at its first preview.
struct WatermarkPageState {
    WatermarkPageState() = default;
    WatermarkPageState(const WatermarkPageState&) = delete;
    WatermarkPageState& operator=(const WatermarkPageState&) = delete;
    ~WatermarkPageState() { ForgetShown(); }

    // The preview of the loaded picture at a brightness, made when the picture or the brightness
    // changes: other repaints stretch it as it is, without copying 10 MiB of pixels each time.
    void ForgetShown() {
        if (shown != nullptr)
            DeleteObject(shown);
        shown = nullptr;
        shownBits = nullptr;
    }

    bool imageReloadPending = true;
    bool reportImageErrors = true;
    bool filling = false;
    Pixels loaded;            // the untouched copy of the loaded bitmap, 24 bits per pixel
    HBITMAP shown = nullptr;  // a DIB section of the loaded picture's size, its bits at shownBits
    uint8_t* shownBits = nullptr;
    int shownBrightness = 0;
};

// The page procedure answers no message but WM_INITDIALOG for a window without its state, so
// everything below may take it as there.
WatermarkPageState& StateOf(HWND page) {
    return *PageStateOf<WatermarkPageState>(page);
}

constexpr std::array<ControlText, 13> kTexts = {{
    {IDC_WATERMARK_NONE_RADIO, TextId::WATERMARK_RC_RADIO_NO},
    {IDC_WATERMARK_IMAGE_RADIO, TextId::WATERMARK_RC_RADIO_IMAGE},
    {IDC_WATERMARK_BITMAP_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_BMP},
    {IDC_WATERMARK_BROWSE_BUTTON, TextId::WATERMARK_RC_SELECT_PICTURE},
    {IDC_WATERMARK_TEXT_RADIO, TextId::WATERMARK_RC_RADIO_TEXT},
    {IDC_WATERMARK_TEXT_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_TEXT},
    {IDC_WATERMARK_FONT_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_FONTTYPE},
    {IDC_WATERMARK_STYLE_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE},
    {IDC_WATERMARK_FONT_SIZE_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSIZE},
    {IDC_WATERMARK_ANGLE_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_ANGLE},
    {IDC_WATERMARK_POSITION_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION},
    {IDC_WATERMARK_SIZE_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_SIZE},
    {IDC_WATERMARK_BRIGHTNESS_LABEL, TextId::WATERMARK_RC_STATIC_WATERMARK_BRIGHTNESS},
}};

constexpr std::array<TextId, 4> kStyleTexts = {
    TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE1, TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE2,
    TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE3, TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE4};

constexpr std::array<TextId, kWatermarkPositionCount> kPositionTexts = {
    TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION1, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION2,
    TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION3, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION4,
    TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION5, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION6,
    TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION7, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION8,
    TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION9, TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION10};

constexpr std::array<int, 2> kImageControls = {IDC_WATERMARK_BITMAP_EDIT, IDC_WATERMARK_BROWSE_BUTTON};
constexpr std::array<int, 6> kTextControls = {IDC_WATERMARK_TEXT_COMBO,     IDC_WATERMARK_FONT_COMBO,
                                              IDC_WATERMARK_STYLE_COMBO,    IDC_WATERMARK_FONT_SIZE_EDIT,
                                              IDC_WATERMARK_FONT_SIZE_SPIN, IDC_WATERMARK_ANGLE_SLIDER};
constexpr std::array<int, 3> kPlacementControls = {IDC_WATERMARK_POSITION_COMBO, IDC_WATERMARK_SIZE_SLIDER,
                                                   IDC_WATERMARK_BRIGHTNESS_SLIDER};

std::u16string WindowText(HWND control) {
    const int length = control != nullptr ? GetWindowTextLengthW(control) : 0;
    std::u16string text(static_cast<size_t>(length > 0 ? length : 0) + 1, u'\0');
    const int got = control != nullptr ? GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()),
                                                        static_cast<int>(text.size()))
                                       : 0;
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

std::u16string EntryText(HWND page, int id, LRESULT index) {
    const LRESULT length = SendDlgItemMessageW(page, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || length == CB_ERR)
        return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const LRESULT got =
        SendDlgItemMessageW(page, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

int Selection(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

// The text list's text: the selected entry, else what is typed in its field.
std::u16string WatermarkTextOf(HWND page) {
    const int index = Selection(page, IDC_WATERMARK_TEXT_COMBO);
    if (index != CB_ERR)
        return EntryText(page, IDC_WATERMARK_TEXT_COMBO, index);
    return WindowText(GetDlgItem(page, IDC_WATERMARK_TEXT_COMBO));
}

int SliderPosition(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0));
}

void SetSlider(HWND page, int slider, int label, int value) {
    SendDlgItemMessageW(page, slider, TBM_SETPOS, TRUE, value);
    SetDlgItemInt(page, label, static_cast<UINT>(value), FALSE);
}

void Repaint(HWND page) {
    SendMessageW(page, WM_PAINT, 0, 0);
}

void ShowError(HWND page, TextId text) {
    ShowMessage(page, text, TextId::MSG_MB_ERROR, MB_ICONERROR);
}

// A load or conversion error of the preview: shown once while the page is open.
void ReportImageError(HWND page, TextId text) {
    if (!StateOf(page).reportImageErrors)
        return;
    StateOf(page).reportImageErrors = false;
    ShowError(page, text);
}

template <size_t N>
void FillList(HWND page, int id, const std::array<TextId, N>& texts) {
    // A list that holds these texts already is left as it is: refilled, it would be emptied and
    // drawn again at every repaint of the page (every step of a slider).
    bool same = SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(N);
    for (size_t i = 0; same && i < N; ++i)
        same = EntryText(page, id, static_cast<LRESULT>(i)) == Texts().View(texts[i]);
    if (same)
        return;
    const int selected = Selection(page, id);
    SendDlgItemMessageW(page, id, CB_RESETCONTENT, 0, 0);
    for (const TextId text : texts)
        SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WText(text)));
    SendDlgItemMessageW(page, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The kind's radio button checked and its controls enabled.
void ShowKind(HWND page, uint8_t type) {
    const WatermarkControls controls = WatermarkControlsFor(type);
    // The three ids are not a range, so each button is set on its own.
    CheckControl(page, IDC_WATERMARK_NONE_RADIO, controls.shownType == kWatermarkNone);
    CheckControl(page, IDC_WATERMARK_IMAGE_RADIO, controls.shownType == kWatermarkImage);
    CheckControl(page, IDC_WATERMARK_TEXT_RADIO, controls.shownType == kWatermarkText);
    EnableControls(page, kImageControls, controls.imageEnabled);
    EnableControls(page, kTextControls, controls.textEnabled);
    EnableControls(page, kPlacementControls, controls.placementEnabled);
}

int CALLBACK AddTrueTypeFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM list) {
    if ((type & TRUETYPE_FONTTYPE) != 0)
        SendMessageW(reinterpret_cast<HWND>(list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

void FillFaces(HWND page) {
    const HWND list = GetDlgItem(page, IDC_WATERMARK_FONT_COMBO);
    const HDC screen = GetDC(page);
    LOGFONTW all{};
    all.lfCharSet = ANSI_CHARSET;
    EnumFontFamiliesExW(screen, &all, &AddTrueTypeFace, reinterpret_cast<LPARAM>(list), 0);
    ReleaseDC(page, screen);
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

// The lists' entries and the ranges of the font size and the sliders.
void PrepareControls(HWND page) {
    for (const std::u16string_view text : kWatermarkTexts)
        SendDlgItemMessageW(page, IDC_WATERMARK_TEXT_COMBO, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(WStr(std::u16string(text))));
    SendDlgItemMessageW(page, IDC_WATERMARK_TEXT_COMBO, CB_LIMITTEXT, kWatermarkTextChars, 0);
    FillFaces(page);
    FillList(page, IDC_WATERMARK_STYLE_COMBO, kStyleTexts);
    SendDlgItemMessageW(page, IDC_WATERMARK_FONT_SIZE_EDIT, EM_LIMITTEXT, kFontSizeFieldChars, 0);
    SendDlgItemMessageW(page, IDC_WATERMARK_FONT_SIZE_SPIN, UDM_SETRANGE32, kFontSizeMin, kFontSizeMax);
    SendDlgItemMessageW(page, IDC_WATERMARK_ANGLE_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kWatermarkAngleMax));
    SendDlgItemMessageW(page, IDC_WATERMARK_SIZE_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kMaxWatermarkSize));
    SendDlgItemMessageW(page, IDC_WATERMARK_BRIGHTNESS_SLIDER, TBM_SETRANGE, TRUE,
                        MAKELPARAM(0, kWatermarkBrightnessMax));
    FillList(page, IDC_WATERMARK_POSITION_COMBO, kPositionTexts);
}

void ShowValues(HWND page, const WatermarkValues& values) {
    ShowKind(page, values.type);
    SetControlText(page, IDC_WATERMARK_BITMAP_EDIT, values.bitmapPath);
    if (values.text.empty())
        SendDlgItemMessageW(page, IDC_WATERMARK_TEXT_COMBO, CB_SETCURSEL, 0, 0);
    else
        SetControlText(page, IDC_WATERMARK_TEXT_COMBO, values.text);
    if (!values.fontName.empty())
        SendDlgItemMessageW(page, IDC_WATERMARK_FONT_COMBO, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(WStr(values.fontName)));
    SendDlgItemMessageW(page, IDC_WATERMARK_STYLE_COMBO, CB_SETCURSEL, static_cast<WPARAM>(values.style), 0);
    SendDlgItemMessageW(page, IDC_WATERMARK_FONT_SIZE_SPIN, UDM_SETPOS32, 0, values.fontSize);
    SetDlgItemInt(page, IDC_WATERMARK_FONT_SIZE_EDIT, static_cast<UINT>(values.fontSize), FALSE);
    SetSlider(page, IDC_WATERMARK_ANGLE_SLIDER, IDC_WATERMARK_ANGLE_VALUE, values.angle);
    SetSlider(page, IDC_WATERMARK_SIZE_SLIDER, IDC_WATERMARK_SIZE_VALUE, values.size);
    SetSlider(page, IDC_WATERMARK_BRIGHTNESS_SLIDER, IDC_WATERMARK_BRIGHTNESS_VALUE, values.brightness);
    SendDlgItemMessageW(page, IDC_WATERMARK_POSITION_COMBO, CB_SETCURSEL, static_cast<WPARAM>(values.position), 0);
}

// The values as the controls hold them, for Apply.
WatermarkValues ControlValues(HWND page) {
    const bool image = IsControlChecked(page, IDC_WATERMARK_IMAGE_RADIO);
    const bool text = IsControlChecked(page, IDC_WATERMARK_TEXT_RADIO);
    return {image  ? kWatermarkImage
            : text ? kWatermarkText
                   : kWatermarkNone,
            Selection(page, IDC_WATERMARK_POSITION_COMBO),
            Selection(page, IDC_WATERMARK_STYLE_COMBO),
            SliderPosition(page, IDC_WATERMARK_SIZE_SLIDER),
            SliderPosition(page, IDC_WATERMARK_BRIGHTNESS_SLIDER),
            SliderPosition(page, IDC_WATERMARK_ANGLE_SLIDER),
            ControlNumber(page, IDC_WATERMARK_FONT_SIZE_EDIT),
            WindowText(GetDlgItem(page, IDC_WATERMARK_BITMAP_EDIT)),
            WatermarkTextOf(page),
            WindowText(GetDlgItem(page, IDC_WATERMARK_FONT_COMBO))};
}

// WM_INITDIALOG, the context kept and the texts shown.
INT_PTR Start(HWND page, WatermarkPageState& state, LPARAM) {
    const PlugInDevMode* dm = RecordOf(page);
    if (dm == nullptr)
        return TRUE;
    state.filling = true;
    PrepareControls(page);
    ShowValues(page, LoadWatermarkValues(*dm));
    state.filling = false;
    AttachHoverHelp(page, IDD_WATERMARK_PAGE);
    return TRUE;
}

// ---- pictures ------------------------------------------------------------------------------

BITMAPINFO DibInfo(int width, int height, int bitsPerPixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Reads a bitmap's pixels at the given depth; false when it can't be read or is too big.
bool ReadPixels(HBITMAP bitmap, int bitsPerPixel, Pixels& out) {
    BITMAP shape{};
    if (GetObjectW(bitmap, sizeof(shape), &shape) == 0 || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return false;
    const size_t size = BitmapStride(static_cast<uint32_t>(shape.bmWidth), static_cast<uint16_t>(bitsPerPixel)) *
                        static_cast<size_t>(shape.bmHeight);
    std::vector<uint8_t> bytes;
    bytes.resize(size);
    BITMAPINFO info = DibInfo(shape.bmWidth, shape.bmHeight, bitsPerPixel);
    const HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.bmHeight), bytes.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != shape.bmHeight)
        return false;
    out = Pixels{shape.bmWidth, shape.bmHeight, bitsPerPixel, std::move(bytes)};
    return true;
}

// The picture file's pixels as the bitmap reader gives them, bottom row first. The picture is
// made by the conversion (the user's file has passed its checks), and it is read from the bytes
// just written, not through the system's image loader.
bool PicturePixels(std::span<const uint8_t> picture, Pixels& out) {
    const BitmapRead read = ReadBitmap(picture, {24});
    if (read.problem != BitmapProblem::None)
        return false;
    const BitmapView& view = read.view;
    std::vector<uint8_t> bytes(view.stride * view.height);
    for (uint32_t row = 0; row < view.height; ++row)
        std::memcpy(bytes.data() + row * view.stride, view.Row(row), view.stride);
    out = Pixels{static_cast<int>(view.width), static_cast<int>(view.height), 24, std::move(bytes)};
    return true;
}

// Empty when the temporary folder is not known: a bare file name would land in whatever folder
// is current, and the printing side would never see it.
std::u16string PictureFileOf(const DocumentPageContext* context) {
    std::array<wchar_t, MAX_PATH + 1> temp{};
    const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (length == 0 || length >= temp.size())
        return {};
    const wchar_t* printer =
        context != nullptr && context->pOEMUIPSParam != nullptr && context->pOEMUIPSParam->pPrinterName != nullptr
            ? context->pOEMUIPSParam->pPrinterName
            : L"";
    return WatermarkPictureFile(reinterpret_cast<const char16_t*>(temp.data()),
                                reinterpret_cast<const char16_t*>(printer));
}

std::filesystem::path FsPath(const std::u16string& path) {
    return std::filesystem::path(std::wstring(path.begin(), path.end()));
}

// Converts a bitmap into this printer's picture file, the picture's bytes in `picture` when
// given. A picture file whose folder is not known can't be written.
WatermarkError ConvertIntoPictureFile(const DocumentPageContext* context,
                                      const std::u16string& source,
                                      std::vector<uint8_t>* picture = nullptr) {
    const std::u16string pictureFile = PictureFileOf(context);
    if (pictureFile.empty())
        return WatermarkError::NotWritten;
    WatermarkError why = WatermarkError::None;
    convertWatermarkBitmap(FsPath(source), FsPath(pictureFile), &why, picture);
    return why;
}

// Converts the chosen bitmap into the picture file and keeps that picture's pixels. The file the
// user chose is read by the conversion alone: nothing of the system's reads it.
bool ReloadImage(HWND page, const DocumentPageContext* context, const std::u16string& path) {
    std::vector<uint8_t> picture;
    const WatermarkError why = ConvertIntoPictureFile(context, path, &picture);
    if (why != WatermarkError::None) {
        ReportImageError(page, WatermarkConversionMessage(why, WatermarkSource::Stored));
        return false;
    }
    const std::optional<BitmapHeader> header = ReadBitmapHeader(picture);
    if (!header)
        return false;
    if (ExceedsPreviewLimit(static_cast<int64_t>(BitmapStride(static_cast<uint32_t>(header->width), 24)),
                            BitmapRows(header->height))) {
        ReportImageError(page, WatermarkConversionMessage(WatermarkError::TooLarge, WatermarkSource::Stored));
        return false;
    }
    Pixels pixels;
    if (!PicturePixels(picture, pixels))
        return false;
    StateOf(page).ForgetShown();
    StateOf(page).loaded = std::move(pixels);
    StateOf(page).imageReloadPending = false;
    return true;
}

// A memory bitmap of the pixels' size and depth; its bits at `bits`.
HBITMAP EmptyBitmapOf(const Pixels& pixels, uint8_t** bits) {
    BITMAPINFO info = DibInfo(pixels.width, pixels.height, pixels.bitsPerPixel);
    void* memory = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bitmap != nullptr && memory == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<uint8_t*>(memory);
    return bitmap;
}

// A memory bitmap holding the pixels, for stretching into the frame.
HBITMAP BitmapOf(const Pixels& pixels) {
    uint8_t* bits = nullptr;
    const HBITMAP bitmap = EmptyBitmapOf(pixels, &bits);
    if (bitmap != nullptr)
        std::memcpy(bits, pixels.bytes.data(), pixels.bytes.size());
    return bitmap;
}

RECT FrameClient(HWND page) {
    RECT client{};
    GetClientRect(GetDlgItem(page, IDC_WATERMARK_PREVIEW), &client);
    return client;
}

void PaintWhite(HWND page) {
    const HWND frame = GetDlgItem(page, IDC_WATERMARK_PREVIEW);
    const HDC dc = GetDC(frame);
    const RECT client = FrameClient(page);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(frame, dc);
}

// Places the picture in the frame at the page's position and size; the rest is white.
void PlaceInFrame(HWND page, HBITMAP bitmap, int width, int height, int stretchMode) {
    const HWND frame = GetDlgItem(page, IDC_WATERMARK_PREVIEW);
    const RECT client = FrameClient(page);
    const PreviewPlacement placement =
        PlaceWatermarkPreview(client.right, client.bottom, width, height, Selection(page, IDC_WATERMARK_POSITION_COMBO),
                              SliderPosition(page, IDC_WATERMARK_SIZE_SLIDER));
    const HDC dc = GetDC(frame);
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(dc, stretchMode);
    for (const PreviewCopy& copy : placement.copies)
        StretchBlt(dc, copy.destination.x, copy.destination.y, copy.destination.width, copy.destination.height, memory,
                   copy.source.x, copy.source.y, copy.source.width, copy.source.height, SRCCOPY);
    for (const PreviewRect& white : placement.white) {
        const RECT area{white.x, white.y, white.x + white.width, white.y + white.height};
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(frame, dc);
}

void PlaceInFrame(HWND page, const Pixels& pixels, int stretchMode) {
    const HBITMAP bitmap = BitmapOf(pixels);
    PlaceInFrame(page, bitmap, pixels.width, pixels.height, stretchMode);
    DeleteObject(bitmap);
}

int CALLBACK KeepLastFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM last) {
    *reinterpret_cast<LOGFONTW*>(last) = *font;
    return 1;
}

// The text watermark's font: the face's last enumerated logical font at the page's size,
// style and angle.
HFONT WatermarkFontOf(HWND page, const std::u16string& face, int points, int style, int angle) {
    const HDC screen = GetDC(page);
    if (screen == nullptr)  // no resolution to size the font by
        return nullptr;
    LOGFONTW wanted{};
    wanted.lfCharSet = ANSI_CHARSET;
    face.copy(reinterpret_cast<char16_t*>(wanted.lfFaceName), LF_FACESIZE - 1);
    LOGFONTW font = wanted;
    EnumFontFamiliesExW(screen, &wanted, &KeepLastFont, reinterpret_cast<LPARAM>(&font), 0);
    const WatermarkFont shape = WatermarkFontFor(points, style, angle, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(page, screen);
    font.lfHeight = shape.height;
    font.lfWidth = 0;
    font.lfWeight = shape.weight;
    font.lfItalic = shape.italic ? TRUE : FALSE;
    font.lfClipPrecision = CLIP_LH_ANGLES;
    font.lfEscapement = shape.escapement;
    font.lfOrientation = shape.escapement;
    return CreateFontIndirectW(&font);
}

// Draws the text on the white 300 by 300 canvas, rotated about its centre, and reads the canvas
// back at 32 bits per pixel.
bool DrawTextCanvas(HWND page, const std::u16string& text, Pixels& canvas) {
    const int points = ControlNumber(page, IDC_WATERMARK_FONT_SIZE_EDIT);
    const int angle = SliderPosition(page, IDC_WATERMARK_ANGLE_SLIDER);
    const HFONT font = WatermarkFontOf(page, WindowText(GetDlgItem(page, IDC_WATERMARK_FONT_COMBO)), points,
                                       Selection(page, IDC_WATERMARK_STYLE_COMBO), angle);
    const HWND frame = GetDlgItem(page, IDC_WATERMARK_PREVIEW);
    const HDC frameDc = GetDC(frame);
    const HDC dc = frameDc != nullptr ? CreateCompatibleDC(frameDc) : nullptr;
    const HBITMAP bitmap =
        frameDc != nullptr ? CreateCompatibleBitmap(frameDc, kWatermarkCanvasSide, kWatermarkCanvasSide) : nullptr;
    if (frameDc != nullptr)
        ReleaseDC(frame, frameDc);
    // Without any of them the canvas would not be the text as chosen: no picture rather than a wrong one.
    if (font == nullptr || dc == nullptr || bitmap == nullptr) {
        if (dc != nullptr)
            DeleteDC(dc);
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (font != nullptr)
            DeleteObject(font);
        return false;
    }
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    PatBlt(dc, 0, 0, kWatermarkCanvasSide, kWatermarkCanvasSide, WHITENESS);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetBkMode(dc, OPAQUE);
    SIZE extent{};
    GetTextExtentPoint32W(dc, WStr(text), static_cast<int>(text.size()), &extent);
    const TextOrigin origin = RotatedTextOrigin(extent.cx, extent.cy, angle);
    const RECT clip{0, 0, kWatermarkCanvasSide, kWatermarkCanvasSide};
    ExtTextOutW(dc, origin.x, origin.y, ETO_CLIPPED, &clip, WStr(text), static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteObject(font);
    const bool read = ReadPixels(bitmap, 32, canvas);
    DeleteObject(bitmap);
    return read;
}

void PreviewImage(HWND page, const DocumentPageContext* context) {
    const std::u16string path = WindowText(GetDlgItem(page, IDC_WATERMARK_BITMAP_EDIT));
    if (path.empty()) {
        StateOf(page).imageReloadPending = true;
        PaintWhite(page);
        return;
    }
    if (StateOf(page).imageReloadPending && !ReloadImage(page, context, path))
        return;
    WatermarkPageState& state = StateOf(page);
    const int brightness = SliderPosition(page, IDC_WATERMARK_BRIGHTNESS_SLIDER);
    if (state.shown == nullptr) {
        state.shown = EmptyBitmapOf(state.loaded, &state.shownBits);
        if (state.shown == nullptr)
            return;
        state.shownBrightness = brightness + 1;  // not made yet
    }
    if (state.shownBrightness != brightness) {
        AddBrightness(state.loaded.bytes, {state.shownBits, state.loaded.bytes.size()}, brightness);
        GdiFlush();  // the bits are written behind the platform's back
        state.shownBrightness = brightness;
    }
    PlaceInFrame(page, state.shown, state.loaded.width, state.loaded.height, COLORONCOLOR);
}

void PreviewText(HWND page, PlugInDevMode& dm) {
    StateOf(page).imageReloadPending = true;
    const std::u16string text = WatermarkTextOf(page);
    StoreRecordText(dm, &PlugInDevMode::watermarkText, text);
    Pixels canvas;
    if (!DrawTextCanvas(page, text, canvas))
        return;
    AddBrightness(canvas.bytes, SliderPosition(page, IDC_WATERMARK_BRIGHTNESS_SLIDER));
    PlaceInFrame(page, canvas, BLACKONWHITE);
}

// WM_PAINT, after the language refresh and the texts: the page itself, then the preview over the
// frame.
INT_PTR Paint(HWND page, WatermarkPageState& state) {
    PlugInDevMode* dm = RecordOf(page);
    if (dm == nullptr)
        return FALSE;
    const DocumentPageContext* context = DocumentContextOf(page);
    state.filling = true;
    FillList(page, IDC_WATERMARK_STYLE_COMBO, kStyleTexts);
    FillList(page, IDC_WATERMARK_POSITION_COMBO, kPositionTexts);
    state.filling = false;
    PAINTSTRUCT paint{};
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    if (IsControlChecked(page, IDC_WATERMARK_IMAGE_RADIO)) {
        PreviewImage(page, context);
    } else if (IsControlChecked(page, IDC_WATERMARK_TEXT_RADIO)) {
        PreviewText(page, *dm);
    } else {
        state.imageReloadPending = true;
        PaintWhite(page);
    }
    return TRUE;
}

// ---- commands ------------------------------------------------------------------------------

void ChooseType(HWND page, PlugInDevMode& dm, uint8_t type) {
    bool graphicsResetPending = GraphicsResetPending(page);
    const bool inform = ChooseWatermarkType(dm, type, graphicsResetPending);
    SetGraphicsResetPending(page, graphicsResetPending);
    if (inform)
        ShowMessage(page, TextId::MSG_MB_WATERMARK_INFORMATION1, TextId::MSG_MB_INFORMATION, MB_ICONINFORMATION);
    ShowKind(page, type);
    MarkChanged(page);
    Repaint(page);
    if (type != kWatermarkNone)
        StateOf(page).imageReloadPending = true;
}

void BrowseBitmap(HWND page, const DocumentPageContext* context, PlugInDevMode& dm) {
    const std::optional<std::wstring> file = ChooseFileToOpen(page, {L"*.bmp\0*.bmp\0", 0, 510, nullptr});
    if (!file)
        return;
    const std::u16string chosen(file->begin(), file->end());
    if (!FitsWatermarkBitmapPath(chosen)) {
        ShowError(page, TextId::MSG_MB_WATERMARK_ERROR7);
        return;
    }
    const WatermarkError why = ConvertIntoPictureFile(context, chosen);
    if (why != WatermarkError::None) {
        ShowError(page, WatermarkConversionMessage(why, WatermarkSource::Chosen));
        return;
    }
    SetControlText(page, IDC_WATERMARK_BITMAP_EDIT, chosen);
    const std::u16string shown = WindowText(GetDlgItem(page, IDC_WATERMARK_BITMAP_EDIT));
    if (shown.empty()) {
        ShowError(page, TextId::MSG_MB_WATERMARK_ERROR6);
        return;
    }
    StoreRecordText(dm, &PlugInDevMode::watermarkBitmapPath, shown);
    StateOf(page).imageReloadPending = true;
    Repaint(page);
    MarkChanged(page);
}

void OnFontSize(HWND page, PlugInDevMode& dm, FontSizeStage stage) {
    const ClampedNumber size = StoreWatermarkFontSize(dm, ControlNumber(page, IDC_WATERMARK_FONT_SIZE_EDIT), stage);
    if (size.corrected) {
        SendDlgItemMessageW(page, IDC_WATERMARK_FONT_SIZE_SPIN, UDM_SETPOS32, 0, size.value);
        SetDlgItemInt(page, IDC_WATERMARK_FONT_SIZE_EDIT, static_cast<UINT>(size.value), FALSE);
    }
    Repaint(page);
    MarkChanged(page);
}

void OnPosition(HWND page, PlugInDevMode& dm) {
    if (SelectWatermarkPosition(dm, Selection(page, IDC_WATERMARK_POSITION_COMBO)))
        SetSlider(page, IDC_WATERMARK_SIZE_SLIDER, IDC_WATERMARK_SIZE_VALUE, dm.watermarkSize);
    Repaint(page);
    MarkChanged(page);
}

void OnSliders(HWND page, PlugInDevMode& dm) {
    const WatermarkSliders stored = StoreWatermarkSliders(
        dm, {SliderPosition(page, IDC_WATERMARK_ANGLE_SLIDER), SliderPosition(page, IDC_WATERMARK_SIZE_SLIDER),
             SliderPosition(page, IDC_WATERMARK_BRIGHTNESS_SLIDER)});
    SetSlider(page, IDC_WATERMARK_ANGLE_SLIDER, IDC_WATERMARK_ANGLE_VALUE, stored.angle);
    SetSlider(page, IDC_WATERMARK_SIZE_SLIDER, IDC_WATERMARK_SIZE_VALUE, stored.size);
    SetSlider(page, IDC_WATERMARK_BRIGHTNESS_SLIDER, IDC_WATERMARK_BRIGHTNESS_VALUE, stored.brightness);
    MarkChanged(page);
    Repaint(page);
}

bool IsSelection(int code) {
    return code == CBN_SELENDOK || code == CBN_SELCHANGE;
}

void OnCommand(HWND page, const DocumentPageContext* context, PlugInDevMode& dm, int id, int code) {
    switch (id) {
        case IDC_WATERMARK_NONE_RADIO:
        case IDC_WATERMARK_IMAGE_RADIO:
        case IDC_WATERMARK_TEXT_RADIO:
            if (code == BN_CLICKED)
                ChooseType(page, dm,
                           id == IDC_WATERMARK_IMAGE_RADIO  ? kWatermarkImage
                           : id == IDC_WATERMARK_TEXT_RADIO ? kWatermarkText
                                                            : kWatermarkNone);
            return;
        case IDC_WATERMARK_BROWSE_BUTTON:
            if (code == BN_CLICKED)
                BrowseBitmap(page, context, dm);
            return;
        case IDC_WATERMARK_TEXT_COMBO:
            if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
                StoreRecordText(dm, &PlugInDevMode::watermarkText, WatermarkTextOf(page));
                Repaint(page);
                MarkChanged(page);
            }
            return;
        case IDC_WATERMARK_FONT_COMBO:
            if (IsSelection(code)) {
                StoreRecordText(dm, &PlugInDevMode::watermarkFontName, EntryText(page, id, Selection(page, id)));
                Repaint(page);
                MarkChanged(page);
            }
            return;
        case IDC_WATERMARK_STYLE_COMBO:
            if (IsSelection(code)) {
                StoreWatermarkListSelections(dm, -1, Selection(page, id));
                Repaint(page);
                MarkChanged(page);
            }
            return;
        case IDC_WATERMARK_POSITION_COMBO:
            if (IsSelection(code))
                OnPosition(page, dm);
            return;
        case IDC_WATERMARK_FONT_SIZE_EDIT:
            if (code == EN_CHANGE)
                OnFontSize(page, dm, FontSizeStage::Typing);
            else if (code == EN_KILLFOCUS)
                OnFontSize(page, dm, FontSizeStage::FocusLeft);
            return;
        default:
            return;
    }
}

// The text watermark's picture file, drawn as the preview draws it.
bool WriteTextPicture(HWND page, const DocumentPageContext* context, const std::u16string& text) {
    const std::u16string pictureFile = PictureFileOf(context);
    Pixels canvas;
    return !pictureFile.empty() && DrawTextCanvas(page, text, canvas) &&
           WriteTextPictureFile(FsPath(pictureFile), canvas.bytes);
}

// PSN_APPLY, up to the report of the result. False when the text watermark's picture file could
// not be written: the result is then not reported to the host.
bool Apply(HWND page, PlugInDevMode& dm) {
    const WatermarkValues values = ControlValues(page);
    ApplyWatermarkValues(values, dm);
    return values.type != kWatermarkText || WriteTextPicture(page, DocumentContextOf(page), values.text);
}

bool IsSlider(UINT_PTR id) {
    return id == IDC_WATERMARK_ANGLE_SLIDER || id == IDC_WATERMARK_SIZE_SLIDER || id == IDC_WATERMARK_BRIGHTNESS_SLIDER;
}

// PSN_SETACTIVE and PSN_KILLACTIVE, and PSN_APPLY's report, are the skeleton's answers.
std::optional<INT_PTR> Notify(HWND page, WatermarkPageState& state, const NMHDR& header) {
    PlugInDevMode* dm = RecordOf(page);
    if (dm == nullptr)
        return FALSE;
    switch (header.code) {
        case PSN_APPLY:
            if (Apply(page, *dm))
                return std::nullopt;
            return AnswerNotification(page, PSNRET_NOERROR);
        case PSN_QUERYCANCEL:
            state.imageReloadPending = true;
            return AnswerNotification(page, FALSE);
        case NM_RELEASEDCAPTURE:
            if (IsSlider(header.idFrom))
                OnSliders(page, *dm);
            return FALSE;
        default:
            return std::nullopt;
    }
}

INT_PTR Command(HWND page, WatermarkPageState& state, WORD control, WORD code) {
    PlugInDevMode* dm = RecordOf(page);
    if (dm != nullptr && !state.filling)
        OnCommand(page, DocumentContextOf(page), *dm, control, code);
    return FALSE;
}

INT_PTR Other(HWND page, WatermarkPageState&, UINT message, WPARAM wParam, LPARAM) {
    PlugInDevMode* dm = RecordOf(page);
    if (message == WM_HSCROLL && dm != nullptr && LOWORD(wParam) <= TB_ENDTRACK - 1)
        OnSliders(page, *dm);
    return FALSE;
}

void Finish(HWND page, WatermarkPageState&) {
    SetGraphicsResetPending(page, false);  // the sheet goes with its pages
}

constexpr PageParts<WatermarkPageState> kParts = {.host = PageHost::DocumentSheet,
                                                  .section = u"WATERMARK",
                                                  .texts = kTexts,
                                                  .start = Start,
                                                  .command = Command,
                                                  .notify = Notify,
                                                  .paint = Paint,
                                                  .other = Other,
                                                  .finish = Finish};

}  // namespace

INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
